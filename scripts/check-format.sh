#!/usr/bin/env bash
# Fails when a C++ file differs from what .clang-format makes of it (Debian's clang-format 14).
set -euo pipefail
cd "$(dirname "$0")/.."

formatter=$(command -v clang-format-14 || command -v clang-format || true)
if [ -z "$formatter" ]; then
    echo "format: clang-format is not installed" >&2
    exit 1
fi
version=$("$formatter" --version | sed -nE 's/.*version ([0-9]+).*/\1/p')
if [ "$version" != 14 ]; then
    echo "format: clang-format $version found; the files are formatted with version 14" >&2
    exit 1
fi

unformatted=()
while IFS= read -r file; do
    "$formatter" --dry-run --Werror "$file" >/dev/null 2>&1 || unformatted+=("$file")
done < <(git ls-files '*.cpp' '*.h')

if [ ${#unformatted[@]} -gt 0 ]; then
    printf 'format: %s differs from .clang-format\n' "${unformatted[@]}" >&2
    echo "format: mend with $formatter -i FILE..." >&2
    exit 1
fi
echo "format: every C++ file follows .clang-format"
