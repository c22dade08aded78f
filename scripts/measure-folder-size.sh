#!/usr/bin/env bash
# Measures the blockchain folder-size scan on a tree of 200,000 files in 2,000 folders (in /tmp),
# with a warm cache: the service's scan time beside `du -sb` on the same tree, taken in turns in the
# same run, as medians and their ratio; checks the service's total against the sizes `find` lists;
# then the largest lateness of a 1 ms GUI-thread timer while the main window scans the tree.
# Usage: scripts/measure-folder-size.sh [RUNS]   (builds the bench preset's probe first)
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-9}

cmake --preset bench >/dev/null
cmake --build --preset bench --target korvane_folder_size_probe >/dev/null
probe=build/bench/benchmarks/korvane_folder_size_probe

tree=$(mktemp -d /tmp/korvane-folder-size.XXXXXX)
results=$(mktemp)
trap 'rm -rf "$tree" "$results"' EXIT
"$probe" tree "$tree" 2000 100
echo "tree: $(find "$tree" -type d | wc -l) folders, $(find "$tree" -type f | wc -l) files"

now_ms() { date +%s%N | awk '{ printf "%.2f", $1 / 1e6 }'; }
du -sb "$tree" >/dev/null # warms the cache
"$probe" scan "$tree" >/dev/null
for run in $(seq "$runs"); do
    start=$(now_ms)
    du -sb "$tree" >/dev/null
    du_ms=$(awk -v a="$start" -v b="$(now_ms)" 'BEGIN { printf "%.2f", b - a }')
    read -r scan_ms total unreadable < <("$probe" scan "$tree")
    echo "$du_ms $scan_ms $total $unreadable" >>"$results"
    echo "run $run: du -sb $du_ms ms, service $scan_ms ms"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
du_median=$(cut -d' ' -f1 "$results" | median)
scan_median=$(cut -d' ' -f2 "$results" | median)
echo "median of $runs runs: service $scan_median ms, du -sb $du_median ms," \
     "ratio $(awk -v s="$scan_median" -v d="$du_median" 'BEGIN { printf "%.2f", s / d }')" \
     "(best: service $(cut -d' ' -f2 "$results" | sort -n | head -1) ms, du -sb $(cut -d' ' -f1 "$results" | sort -n | head -1) ms)"

expected=$(find "$tree" -type f -printf '%s\n' | awk '{ s += $1 } END { printf "%d", s }')
totals=$(cut -d' ' -f3,4 "$results" | sort -u)
if [ "$totals" = "$expected 0" ]; then
    echo "total: $expected bytes in every run, as find lists them"
else
    echo "total MISMATCH: service said '$totals', find sums to $expected" >&2
    exit 1
fi

echo "GUI thread's 1 ms timer while the main window scans: most late during a scan, during as long"
echo "without one, the scan's time, most late in the 20 ms after the result is shown (ms):"
"$probe" gui "$tree" "$runs" | tee "$results" | sed 's/^/  /'
echo "largest lateness: $(cut -d' ' -f1 "$results" | sort -n | tail -1) ms during scans" \
     "(median $(cut -d' ' -f1 "$results" | median) ms);" \
     "$(cut -d' ' -f2 "$results" | sort -n | tail -1) ms without (median $(cut -d' ' -f2 "$results" | median) ms);" \
     "$(cut -d' ' -f4 "$results" | sort -n | tail -1) ms while the result is shown"
