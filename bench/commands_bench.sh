#!/usr/bin/env bash
# Whole-process figures for the one-line commands on the simulated board: sorvell-cli reading a
# 1 MiB 27C080 and programming a 512 KB AM29F040 (blank check, program, verify). Prints wall and
# CPU time (GNU time) and the time a real board would take (the simulator's virtual clock).
# Usage: bench/commands_bench.sh [BUILD_DIR]   (default: build)
set -euo pipefail
build="${1:-build}"
cli="$(cd "$build" && pwd)/bin/sorvell-cli"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
cd "$scratch"
python3 -c 'import sys; sys.stdout.buffer.write(bytes((i * 7 + (i >> 8)) & 0xFF for i in range(1 << 20)))' > rom1m.bin
head -c $((512 * 1024)) rom1m.bin > flash512k.bin

run() {
  local what="$1"
  shift
  /usr/bin/time -f '%e %U %S %M' -o time.txt "$cli" --workdir . --progdir . "$@" > out.txt 2> err.txt || {
    echo "$what failed:"; cat err.txt; tail -5 out.txt; exit 1; }
  read -r wall user sys maxrss < time.txt
  virtual=$(sed -n 's/^Simulated board time: //p' err.txt)
  printf '%-34s wall %6.2f s  cpu %6.2f s (user %.2f, sys %.2f)  max RSS %6d KB  board %s\n' \
    "$what" "$wall" "$(echo "$user + $sys" | bc)" "$user" "$sys" "$maxrss" "$virtual"
}

run "read 27C080 (1 MiB)" --board sim:6@378 --sim "insert 27C080 rom1m.bin" read -d 27C080 -o back.bin
cmp rom1m.bin back.bin
run "program AM29F040 (512 KB)" --board sim:6@378 --sim "insert AM29F040" --yes \
  program -d AM29F040 -i flash512k.bin
