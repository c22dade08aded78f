#!/usr/bin/env bash
# Cross-compiles the Qt-free libraries, the Windows backends and their tests with MinGW-w64, and
# runs the tests under Wine in a throw-away Wine prefix, with an X server for the keyboard and
# window tests. Exits non-zero when the build or a test fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix wine wine64 googletest xvfb xauth x11-utils

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
