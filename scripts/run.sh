#!/usr/bin/env bash
# Sets everything up and runs the program: the window when a display is there, otherwise a short
# console demonstration. Without a parallel port both run on a simulated board. Arguments go to
# the program (for example --board sim:4@278).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$root/build" >/dev/null
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x "$root/build/bin/sorvell" ]; then
  exec "$root/build/bin/sorvell" "$@"
fi
echo "No display: running the console demonstration (sorvell-cli)."
exec "$root/build/bin/sorvell-cli" "$@"
