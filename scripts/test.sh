#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: the development build, the sanitizer
# build, and the Windows backends cross-compiled and run under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh x11-utils

echo "=== layers ==="
scripts/check-layers.sh

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

echo "=== package ==="
scripts/package-test.sh
