#!/usr/bin/env bash
# Builds the Debian package into dist/ with dpkg-buildpackage, then checks it: lintian, the desktop
# entry, the AppStream metadata. With --install it also installs the package on this machine
# (root or sudo), runs the installed programs on the simulated board and removes it again.
#
# The test suite is not run again here (nocheck): scripts/test.sh runs it on the same sources
# before. `dpkg-buildpackage -b -us -uc` alone builds the package with the suite.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"
install=0
[ "${1:-}" = "--install" ] && install=1

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
tools=(debhelper dpkg-dev lintian desktop-file-utils appstream)
missing=()
for p in "${tools[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

version="$(dpkg-parsechangelog -SVersion)"
arch="$(dpkg-architecture -qDEB_HOST_ARCH)"
deb="sorvell_${version}_${arch}.deb"

echo "== build the Debian package $deb"
# The release's version is the project's: the changelog must name the one the programs print.
project="$(sed -n 's/^project(sorvell VERSION \([0-9.]*\) .*/\1/p' CMakeLists.txt)"
if [ "$project" != "$version" ]; then
  echo "debian/changelog names $version but CMakeLists.txt builds $project" >&2
  exit 1
fi
DEB_BUILD_OPTIONS="nocheck noautodbgsym ${DEB_BUILD_OPTIONS:-}" \
  dpkg-buildpackage -b -us -uc -J"$(nproc)" >/tmp/sorvell-package.log 2>&1 || {
  tail -n 60 /tmp/sorvell-package.log >&2
  exit 1
}
# dpkg-buildpackage leaves its output beside the source tree.
mkdir -p dist
mv "../$deb" "../sorvell_${version}_${arch}.buildinfo" "../sorvell_${version}_${arch}.changes" dist/
debian/rules clean >/dev/null

echo "== check the package, its desktop entry and its metadata"
lintian --fail-on error,warning "dist/$deb"
desktop-file-validate data/org.sorvell.Sorvell.desktop
appstreamcli validate --no-net data/org.sorvell.Sorvell.metainfo.xml

[ "$install" -eq 1 ] || exit 0
bash "$root/scripts/check_installed.sh" "$root/dist/$deb" "$version"
