#!/usr/bin/env bash
# Installs what is missing, checks the layers and the format, builds and runs every test: the
# development build, the sanitizer build, the Windows backends cross-compiled and run under Wine,
# the Windows program built (with Qt for Windows, built once into a cache) and run under Wine, and
# the Debian package built, installed, started and removed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh x11-utils

echo "=== layers ==="
scripts/check-layers.sh
echo "=== format ==="
scripts/check-format.sh

for preset in dev asan; do
    echo "=== $preset ==="
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
    scripts/with-xvfb.sh ctest --preset "$preset"
done

if [ -x scripts/windows-cross-test.sh ]; then
    echo "=== windows-cross ==="
    scripts/windows-cross-test.sh
fi

echo "=== windows ==="
scripts/windows-program-test.sh

echo "=== package ==="
scripts/package-test.sh
