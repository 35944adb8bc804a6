#!/usr/bin/env bash
# Makes the operator's manual's pictures on Qt's offscreen platform, from a built tree.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --build build -j1 --target sorvell-manual-shots sorvell-manual
QT_QPA_PLATFORM=offscreen build/bin/sorvell-manual-shots docs/manual/images
