#!/usr/bin/env bash
# Builds the Windows program (the CMake preset "windows") against Qt for Windows, which
# scripts/build-qt-windows.sh builds once into its cache folder, and makes what users get: the
# folder build/windows/QL-KORVANE-V1 (the program with its DLLs and Qt plugins), a zip of it and
# the installer. Prints the paths of the program, the zip and the installer on its last three lines.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh g++-mingw-w64-x86-64-posix nsis
KORVANE_QT_WINDOWS=$(scripts/build-qt-windows.sh)
export KORVANE_QT_WINDOWS

started=$SECONDS
# A build folder configured against another Qt starts afresh.
fresh=()
grep -qs "^CMAKE_TOOLCHAIN_FILE:.*=$KORVANE_QT_WINDOWS/" build/windows/CMakeCache.txt || fresh=(--fresh)
cmake --preset windows "${fresh[@]}" >/dev/null
cmake --build --preset windows --parallel "${KORVANE_BUILD_JOBS:-2}" --target all windows_package
echo "The Windows program built in $((SECONDS - started)) s" >&2

echo "$PWD/build/windows/QL-KORVANE-V1/QL-KORVANE-V1.exe"
echo "$PWD/build/windows/QL-KORVANE-V1-windows.zip"
echo "$PWD/build/windows/QL-KORVANE-V1-setup.exe"
