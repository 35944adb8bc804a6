#!/usr/bin/env bash
# Installs what building and testing need on Debian 12 (once; later runs find it installed).
set -euo pipefail

# clang and libclang-rt-14-dev (libFuzzer and the sanitizer runtimes of clang 14) build fuzz/.
# qt6-tools-dev (Qt Help) and qt6-documentation-tools (qhelpgenerator, the SQLite driver the help
# engine keeps its collection in) build the help window and the manual's help file.
# libsrecord-dev reads and writes Intel HEX and S-record files; its headers need libboost-dev.
# libcli11-dev parses the console's command line; libtomlplusplus-dev reads the device file;
# nlohmann-json3-dev writes the console's JSON; zlib1g-dev and nettle-dev give the checksums.
# libsqlite3-dev keeps the record of every part (src/records).
# seabios ships a real PC BIOS ROM image, and python3 an independent CRC-32, for the image tests.
packages=(cmake g++ make pkg-config libgtest-dev clang-format qt6-base-dev qt6-multimedia-dev libgl-dev
  clang libclang-rt-14-dev qt6-tools-dev qt6-documentation-tools libqt6sql6-sqlite libsrecord-dev
  libboost-dev libcli11-dev libtomlplusplus-dev nlohmann-json3-dev zlib1g-dev nettle-dev
  libsqlite3-dev seabios python3)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
