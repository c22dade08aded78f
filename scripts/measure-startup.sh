#!/usr/bin/env bash
# Measures, over several runs, the time from starting the program to its main window being shown
# and its resident memory once shown, under a private Xvfb, with a fresh profile for each run.
# Usage: scripts/measure-startup.sh [RUNS]   (builds the release preset first)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-10}

cmake --preset release >/dev/null
cmake --build --preset release >/dev/null
probe=build/release/startup_probe
g++ -O2 -std=c++20 scripts/startup_probe.cpp -o "$probe" -lX11

measure() {
    local profiles
    profiles=$(mktemp -d)
    for _ in $(seq "$runs"); do
        rm -rf "${profiles:?}"/*
        XDG_CONFIG_HOME="$profiles" "$probe" "$PWD/build/release/app/QL-KORVANE-V1"
    done
    rm -rf "$profiles"
}

export -f measure
export runs probe
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
results=$(mktemp)
scripts/with-xvfb.sh bash -c measure >"$results"
awk '{ printf "run %2d: shown after %6.1f ms, resident %5.1f MB (%5.1f MB a second later)\n", NR, $1, $2 / 1024, $3 / 1024 }' "$results"
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
echo "median of $(wc -l <"$results") runs: shown after $(cut -d' ' -f1 "$results" | median) ms" \
     "(slowest $(cut -d' ' -f1 "$results" | sort -n | tail -1) ms)," \
     "resident $(cut -d' ' -f2 "$results" | median | awk '{ printf "%.1f", $1 / 1024 }') MB" \
     "($(cut -d' ' -f3 "$results" | median | awk '{ printf "%.1f", $1 / 1024 }') MB a second later)"
rm -f "$results"
