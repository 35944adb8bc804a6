#!/usr/bin/env bash
# Renders the application icon's PNG sizes for the hicolor theme from its SVG (needs rsvg-convert,
# Debian's librsvg2-bin). The PNGs are kept in the tree, so a build does not need the tool.
set -euo pipefail
icons="$(cd "$(dirname "$0")/../data/icons" && pwd)"
for size in 16 24 32 48 64 128 256; do
  mkdir -p "$icons/$size"
  rsvg-convert -w "$size" -h "$size" "$icons/org.sorvell.Sorvell.svg" \
    -o "$icons/$size/org.sorvell.Sorvell.png"
done
