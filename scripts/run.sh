#!/usr/bin/env bash
# Sets everything up and runs the program. Without a parallel port it runs on a simulated board.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" >/dev/null
exec "$root/build/bin/sorvell-cli" "$@"
