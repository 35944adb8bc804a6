#!/usr/bin/env bash
# Rewrites NAME.expected from what sorvell-cli prints now, for the scripts named (or all).
# Read the diff before committing: the expected files define what the console must print.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
cli="${CLI:-$here/../../build/bin/sorvell-cli}"
cd "$here"
names=("$@")
[ ${#names[@]} -gt 0 ] || names=($(ls *.sorvell | sed 's/\.sorvell$//'))
for name in "${names[@]}"; do
  work=$(mktemp -d)
  cp ./*.bin "$work/" 2>/dev/null || true
  [ -f "$name.ini" ] && sed 's/$/\r/' "$name.ini" > "$work/sorvell6.ini"
  args=$(head -1 "$name.sorvell" | sed -n 's/^#! //p')
  [ -n "$args" ] || args="--board sim:5@378"
  set +e
  out=$(cd "$work" && "$cli" $args --workdir "$work" --progdir "$work" --datadir "$work" "$here/$name.sorvell" 2>/dev/null)
  status=$?
  set -e
  out="${out//$work/WORKDIR}"
  { echo "exit $status"; printf '%s\n' "$out" | sed -E 's/[0-9]{2}:[0-9]{2}:[0-9]{2}/hh:mm:ss/g'; } > "$name.expected"
  rm -rf "$work"
done
