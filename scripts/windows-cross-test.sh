#!/usr/bin/env bash
# Cross-compiles the Qt-free libraries, the Windows backends and their tests with MinGW-w64, and
# runs the tests under Wine in a throw-away Wine prefix, with an X server for the keyboard and
# window tests. The Windows files that use Qt, which no build here links (there is no Qt for
# Windows among Debian's packages), are at least compiled for Windows against Debian's Qt headers.
# Exits non-zero when the build, that compile or a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 googletest xvfb xauth x11-utils qt6-base-dev

qt_headers=$(pkg-config --variable=includedir Qt6Core)
for source in platform/qt/win_*.cpp platform/qt/win/*.cpp; do
    x86_64-w64-mingw32-g++-posix -std=c++20 -fsyntax-only -Wall -Wextra -Werror -I. \
        -isystem "$qt_headers" -isystem "$qt_headers/QtCore" -isystem "$qt_headers/QtGui" \
        -isystem "$qt_headers/QtWidgets" -isystem "$qt_headers/QtNetwork" "$source"
done

cmake --preset windows-cross >/dev/null
cmake --build --preset windows-cross --parallel 2

WINEPREFIX=$(mktemp -d /tmp/korvane-wine.XXXXXX)
export WINEPREFIX WINEDEBUG=-all
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

# Creating the prefix takes a few seconds; do it once before the first test is timed.
wine wineboot --init >/dev/null 2>&1
wineserver -w

scripts/with-xvfb.sh ctest --preset windows-cross
