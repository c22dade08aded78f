#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian (any error or warning fails), installs it on
# this machine (with what it depends on), starts the installed program on a private desktop, ends
# it with Exit, and removes the package again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh dpkg-dev desktop-file-utils lintian

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
package_name=ql-korvane
if dpkg-query -W -f='${Status}' "$package_name" 2>/dev/null | grep -q "install ok installed"; then
    echo "package: $package_name is already installed here; remove it first (dpkg -r $package_name)" >&2
    exit 1
fi

cmake --preset package >/dev/null
cmake --build --preset package
rm -f build/package/*.deb
(cd build/package && cpack -G DEB >/dev/null)
deb=$(ls build/package/*.deb)
echo "package: built $deb"
dpkg-deb --field "$deb" Package Version Depends
# Information tags are shown and pass; README lists the ones that stay, and why.
lintian --display-info --fail-on error,warning "$deb"
echo "package: lintian finds no error and no warning"

remove() { $sudo dpkg -r "$package_name" >/dev/null 2>&1 || true; }
trap remove EXIT
export DEBIAN_FRONTEND=noninteractive
$sudo dpkg -i "$deb" >/dev/null || $sudo apt-get -f install -y -qq --no-install-recommends
dpkg-query -W -f='${Status}\n' "$package_name" | grep -q "install ok installed"

for file in /usr/bin/QL-KORVANE-V1 /usr/share/applications/ql-korvane.desktop \
    /usr/share/icons/hicolor/{16x16,32x32,48x48,256x256}/apps/ql-korvane.png \
    /usr/share/man/man1/QL-KORVANE-V1.1.gz /usr/share/doc/ql-korvane/{copyright,changelog.Debian.gz}; do
    [ -f "$file" ] || { echo "package: $file was not installed" >&2; exit 1; }
done
desktop-file-validate /usr/share/applications/ql-korvane.desktop

/usr/bin/python3 tests/e2e/scenarios.py installed_program --program /usr/bin/QL-KORVANE-V1 \
    --artifacts build/package/screenshots

remove
trap - EXIT
if [ -e /usr/bin/QL-KORVANE-V1 ]; then
    echo "package: /usr/bin/QL-KORVANE-V1 is still there after removing the package" >&2
    exit 1
fi
echo "package: built, installed, started, ended with Exit and removed"
