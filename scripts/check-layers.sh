#!/usr/bin/env bash
# Fails when a folder includes one from a layer above it, or a feature folder includes another, or
# when the program searches for a control (findChild) rather than being handed it.
# Layers, lowest first: base, platform, settings, node (the node's rules and model), gui, the feature
# folders (launch, processes, conf, monitor, info, details: siblings, each on its own), app. Tests,
# benchmarks and scripts may include anything.
set -euo pipefail
cd "$(dirname "$0")/.."

feature_rank=5

rank() {
    case "$1" in
    base) echo 0 ;;
    platform) echo 1 ;;
    settings) echo 2 ;;
    node) echo 3 ;;
    gui) echo 4 ;;
    launch | processes | conf | monitor | info | details) echo "$feature_rank" ;;
    app) echo 6 ;;
    *) echo "" ;;
    esac
}

status=0
while IFS=: read -r file line included; do
    from=${file%%/*}
    to=${included%%/*}
    [ "$from" = "$to" ] && continue
    from_rank=$(rank "$from")
    to_rank=$(rank "$to")
    [ -n "$from_rank" ] || continue
    if [ -z "$to_rank" ] || [ "$from_rank" -lt "$to_rank" ] || { [ "$from_rank" = "$feature_rank" ] && [ "$to_rank" = "$feature_rank" ]; }; then
        echo "$file:$line: $from must not include $included" >&2
        status=1
    fi
done < <(git ls-files '*.cpp' '*.h' ':!tests' ':!benchmarks' ':!scripts' |
    xargs grep -n '^#include "' | sed -E 's/^([^:]+):([0-9]+):#include "([^"]+)".*/\1:\2:\3/')

# A control is handed to what needs it, never searched for; tests and probes find theirs by name.
if git ls-files '*.cpp' '*.h' ':!tests' ':!benchmarks' ':!scripts' | xargs grep -n 'findChild<' >&2; then
    echo "layers: the lines above search for a control; hand it over instead" >&2
    status=1
fi

[ "$status" = 0 ] && echo "layers: every include points down, and no control is searched for"
exit "$status"
