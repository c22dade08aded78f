#!/usr/bin/env bash
# The Windows program as a whole under Wine: builds Qt for Windows when its cache folder is missing
# (scripts/build-qt-windows.sh), the program, its folder, zip and installer
# (scripts/build-windows.sh), then runs its scenarios (ctest --preset windows, tests/windows/),
# each on a private X server with a Wine prefix of its own. Exits non-zero when a step fails.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh wine wine64 fonts-wine xvfb xauth xdotool python3-pil nsis
started=$SECONDS
scripts/build-windows.sh
built=$SECONDS
ctest --preset windows
echo "Windows stage: built in $((built - started)) s, scenarios ran in $((SECONDS - built)) s"
