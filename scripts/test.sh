#!/usr/bin/env bash
# Sets everything up and runs every test: formatting, the test suite, the Debian package (built,
# checked, installed, tried and removed), then the suite again under AddressSanitizer and
# UndefinedBehaviorSanitizer, then each fuzz harness for a short while. A test
# that hangs fails after five minutes rather than holding the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"

echo "== formatting"
files=$(cd "$root" && git ls-files '*.cpp' '*.h' 2>/dev/null || find src tests bench -name '*.cpp' -o -name '*.h')
(cd "$root" && clang-format --dry-run --Werror $files)

echo "== build and test"
"$root/scripts/build.sh" "$root/build"
(cd "$root/build" && ctest --output-on-failure --timeout 300 -j"$(nproc)")

# The suite above ran on these sources; the package is built from them without it, installed,
# tried and removed (needs root or sudo).
"$root/scripts/package.sh" --install

echo "== build and test under AddressSanitizer and UndefinedBehaviorSanitizer"
"$root/scripts/build.sh" "$root/build-sanitize" -DSORVELL_SANITIZE=address,undefined -DSORVELL_BUILD_BENCH=OFF
(cd "$root/build-sanitize" && ctest --output-on-failure --timeout 300 -j"$(nproc)")

echo "== fuzz every reader of outside input (20 s each; scripts/fuzz.sh 600 for longer)"
"$root/scripts/fuzz.sh"
