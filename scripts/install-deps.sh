#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need (as root, or through sudo).
set -euo pipefail

packages=(cmake ninja-build g++ qt6-base-dev libgl-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
          libx11-dev libxtst-dev xvfb xauth
          # the end-to-end tests: accessibility bus and its Python client, a private D-Bus
          # session, mouse and keyboard, screenshots, a folder seen read-only (namespaces), a tray
          # host (XEmbed) and the window tree it is read from, the session bus that libdbus starts
          # where there is none (which the program must never have started)
          at-spi2-core python3-pyatspi dbus-daemon xdotool python3-pil util-linux mount trayer x11-utils dbus-x11
          # a real node for the RPC tests; stand-ins of the desktop's services and of logind on a
          # private bus; checking the source's format
          litecoind python3-dbus python3-gi clang-format "$@")

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# Another install on this machine holds dpkg's lock for a while: wait for it rather than fail.
lock=(-o DPkg::Lock::Timeout=900)
$sudo apt-get "${lock[@]}" update -qq
$sudo apt-get "${lock[@]}" install -y -qq --no-install-recommends "${missing[@]}"
