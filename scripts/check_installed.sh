#!/usr/bin/env bash
# Installs the package DEB on this machine, proves the installed programs work from the files the
# package put in place, and removes it again, leaving nothing of it behind.
#   scripts/check_installed.sh dist/sorvell_1.0.66_amd64.deb 1.0.66
set -euo pipefail
deb="$1"
version="$2"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

fail() {
  echo "installed package: $*" >&2
  exit 1
}

echo "== install $deb"
$sudo apt-get install -y -qq "$(realpath "$deb")" >/tmp/sorvell-install.log 2>&1 || {
  cat /tmp/sorvell-install.log >&2
  exit 1
}
grep -q "lp group" /tmp/sorvell-install.log || fail "the post-install note on the lp group is missing"

[ "$(/usr/bin/sorvell-cli --version)" = "sorvell-cli $version" ] || fail "sorvell-cli --version"
[ "$(QT_QPA_PLATFORM=offscreen /usr/bin/sorvell --version)" = "sorvell $version" ] ||
  fail "sorvell --version"

# A simulated read, run from an empty folder with a fresh home: everything it needs must come
# from the installation.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
(
  cd "$work"
  export HOME="$work/home"
  mkdir -p "$HOME"
  /usr/bin/sorvell-cli --board sim:6@378 --system-info >info.txt
  grep -q "^Program files: /usr/share/sorvell (sounds: all 5; manual: manual/index.html)$" info.txt ||
    fail "the sounds or the manual are not where the programs look: $(grep '^Program files' info.txt)"
  /usr/bin/sorvell-cli --board sim:6@378 --sim "insert 27C256" read -d 27C256 -o part.bin >read.txt 2>&1 ||
    fail "the simulated read failed: $(cat read.txt)"
  [ "$(stat -c %s part.bin)" -eq 32768 ] || fail "the read gave $(stat -c %s part.bin) bytes"
  printf 'click mnuHelpContents\n' | /usr/bin/sorvell-cli --board sim:6@378 - >help.txt 2>&1
  grep -q "HELP contents: the manual is /usr/share/sorvell/manual/index.html" help.txt ||
    fail "Help > Contents does not find the installed manual"
)
for file in /usr/share/applications/org.sorvell.Sorvell.desktop \
  /usr/share/metainfo/org.sorvell.Sorvell.metainfo.xml \
  /usr/share/icons/hicolor/scalable/apps/org.sorvell.Sorvell.svg \
  /usr/share/icons/hicolor/48x48/apps/org.sorvell.Sorvell.png \
  /usr/share/man/man1/sorvell-cli.1.gz /usr/share/doc/sorvell/copyright; do
  [ -f "$file" ] || fail "$file is missing"
done
echo "installed sorvell $version: versions, a simulated read, the manual and the sounds found"

echo "== remove the package"
$sudo apt-get purge -y -qq sorvell >/dev/null
left="$(dpkg -L sorvell 2>/dev/null || true)"
[ -z "$left" ] || fail "dpkg still lists files of sorvell"
for path in /usr/bin/sorvell /usr/bin/sorvell-cli /usr/share/sorvell /usr/share/doc/sorvell; do
  [ ! -e "$path" ] || fail "$path is left after removal"
done
echo "removed sorvell: nothing of it is left"
