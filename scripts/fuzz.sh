#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for SECONDS seconds (default 20), one
# after the other on one core. New inputs the fuzzers find go to build-fuzz/corpus/<harness>/;
# a crash stops the run, leaves its input in build-fuzz/findings/ and fails the script.
#   scripts/fuzz.sh            20 s each (what scripts/test.sh runs)
#   scripts/fuzz.sh 600        10 minutes each
#   scripts/fuzz.sh 600 operator_script   one harness only
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-20}"
shift || true
harnesses=("$@")
[ "${#harnesses[@]}" -gt 0 ] || harnesses=(board_config image_file operator_script console_options board_spec setup_file
  intel_hex srecord device_file)
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSORVELL_FUZZ=ON \
  -DSORVELL_BUILD_GUI=OFF -DSORVELL_BUILD_TESTS=OFF -DSORVELL_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"${SORVELL_FUZZ_JOBS:-$(nproc)}" --target "${harnesses[@]/#/fuzz_}"

mkdir -p "$build/findings"
for harness in "${harnesses[@]}"; do
  echo "== fuzz $harness for ${seconds} s"
  corpus="$build/corpus/$harness"
  mkdir -p "$corpus"
  log="$build/findings/$harness.log"
  # Seeds first, then what earlier runs found; -timeout: a script may burn a whole 1 MB part.
  dict=()
  [ -f "$root/fuzz/$harness.dict" ] && dict=(-dict="$root/fuzz/$harness.dict")
  status=0
  "$build/bin/fuzz_$harness" "$corpus" "$root/fuzz/corpus/$harness" "${dict[@]}" \
    -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -max_len=65536 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$harness-" >"$log" 2>&1 || status=$?
  grep -E '^(#[0-9]+.*DONE|stat::number_of_executed_units|stat::new_units_added|==[0-9]+==ERROR|SUMMARY)' "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 40 "$log"
    echo "fuzz_$harness found a fault; its input is in $build/findings/, the whole log in $log"
    exit 1
  fi
done
