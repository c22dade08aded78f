#!/usr/bin/env bash
# Measures the processor time the program uses while it sits idle, as a percentage of one core,
# under a private Xvfb, with three program names set (none of them running) and extra idle
# processes on the machine. In the same run, measured the same way at the same time: an empty Qt
# window, and the program as it was built before the watcher kept a cache (commit 97454fd, built
# once in release from a temporary git worktree and kept under build/measure-idle). Then this build
# once more beside a real regtest node (Debian's litecoind) that its daemon name and line name, so
# the node's model polls it every 2 s (its tip is regtest's block of 2011: a node catching up); and
# the GUI thread's lateness while the model polls that node (benchmarks/node_poll_probe.cpp, bench
# preset, for SECONDS) with the RPC calls it makes a minute, first while the node catches up, then
# once it has made 101 blocks of its own and is synced, and then with the node details window open
# on each of its pages in turn.
# Usage: scripts/measure-idle.sh [SECONDS] [EXTRA_PROCESSES]   (defaults 60 and 300)
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
extra=${2:-300}
earlier_commit=97454fd
work="$PWD/build/measure-idle"
mkdir -p "$work"

cmake --preset release >/dev/null
cmake --build --preset release -j2 >/dev/null
cmake --preset bench >/dev/null
cmake --build --preset bench -j2 --target korvane_node_poll_probe >/dev/null
probe="$PWD/build/bench/benchmarks/korvane_node_poll_probe"

earlier="$work/earlier/QL-KORVANE-V1"
if [ ! -x "$earlier" ]; then
    echo "building $earlier_commit in release (once)..." >&2
    source_tree="$work/earlier-source"
    git worktree add --detach "$source_tree" "$earlier_commit" >/dev/null 2>&1
    trap 'git worktree remove --force "$source_tree" >/dev/null 2>&1 || true' EXIT
    cmake -S "$source_tree" -B "$work/earlier-build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DKORVANE_BUILD_TESTS=OFF >/dev/null
    cmake --build "$work/earlier-build" -j2 --target QL-KORVANE-V1 >/dev/null
    mkdir -p "$work/earlier"
    cp "$work/earlier-build/app/QL-KORVANE-V1" "$earlier"
    git worktree remove --force "$source_tree"
    trap - EXIT
fi

empty_window="$work/empty_qt_window"
if [ ! -x "$empty_window" ] || [ scripts/empty_qt_window.cpp -nt "$empty_window" ]; then
    # shellcheck disable=SC2046
    g++ -O2 -fPIC -std=c++20 scripts/empty_qt_window.cpp -o "$empty_window" $(pkg-config --cflags --libs Qt6Widgets)
fi

measure() {
    idle=() started=() names=()
    local folder
    node=$(mktemp -d "$work/node-XXXXXX")
    mkdir -p "$node/data" "$node/home"
    ln -s /usr/lib/litecoin/litecoind "$node/litecoind-idle-$$"
    printf '[regtest]\nrpcport=%s\n' "$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')" >"$node/node.conf"
    node_options="-regtest -datadir=$node/data -conf=$node/node.conf"
    node_line="$node/litecoind-idle-$$ $node_options -listen=0 -vbparams=mweb:4102444800:4102444900"
    stop_node() { HOME="$node/home" litecoin-cli $node_options stop >/dev/null 2>&1 || true; }
    trap 'stop_node; kill "${started[@]}" "${idle[@]}" 2>/dev/null || true; wait 2>/dev/null || true' EXIT
    # shellcheck disable=SC2086
    HOME="$node/home" $node_line >/dev/null 2>&1 &
    for _ in $(seq "$extra"); do
        sleep 100000 &
        idle+=($!)
    done
    start() { # NAME PROGRAM [DAEMON DAEMON_LINE]: a copy named BTC with its own profile naming three programs
        folder=$(mktemp -d "$work/run-XXXXXX")
        mkdir -p "$folder/config/QL_KORVANE"
        printf '[BTC]\nQT_NAME_TEXTBOX=bitcoin-qt\nDAEMON_NAME_TEXTBOX=%s\nCLI_NAME_TEXTBOX=bitcoin-cli\nQL_D_COMMAND_TEXTBOX=%s\n' \
            "${3:-bitcoind}" "${4:-}" >"$folder/config/QL_KORVANE/BTC.ini"
        cp "$2" "$folder/BTC"
        XDG_CONFIG_HOME="$folder/config" "$folder/BTC" >/dev/null 2>&1 &
        started+=($!)
        names+=("$1")
    }
    start "this build" "$PWD/build/release/app/QL-KORVANE-V1"
    start "empty Qt window" "$empty_window"
    start "build $earlier_commit" "$earlier"
    start "this build, node polled" "$PWD/build/release/app/QL-KORVANE-V1" "litecoind-idle-$$" "$node_line"
    sleep 5
    cpu() { sed 's/.*) //' "/proc/$1/stat" | awk '{ print $12 + $13 }'; }
    local before=() after=()
    for pid in "${started[@]}"; do before+=("$(cpu "$pid")"); done
    local processes
    processes=$(find /proc -maxdepth 1 -name '[0-9]*' | wc -l)
    sleep "$seconds"
    for pid in "${started[@]}"; do after+=("$(cpu "$pid")"); done
    local hertz
    hertz=$(getconf CLK_TCK)
    echo "processor use over $seconds s, $extra extra idle processes ($processes processes listed in /proc):"
    for i in "${!started[@]}"; do
        awk -v name="${names[$i]}" -v ticks=$((after[i] - before[i])) -v hz="$hertz" -v s="$seconds" \
            'BEGIN { printf "  %-24s %6.2f %% of a core (%d ticks of %d ms)\n", name, 100 * ticks / hz / s, ticks, 1000 / hz }'
    done
    kill "${started[@]}" 2>/dev/null || true
    probe_node "catching up"
    HOME="$node/home" litecoin-cli $node_options generatetodescriptor 101 'raw(51)' >/dev/null
    probe_node "synced"
    # A log of a gigabyte (sparse: it costs no disk), as a node that ran for years keeps.
    truncate -s +1G "$node/data/regtest/debug.log"
    seq 2000 | sed 's/^/2026-12-09T20:00:00Z a line of a long log, number /' >>"$node/data/regtest/debug.log"
    KORVANE_PROBE_DETAILS=1 probe_node "synced, the node details window open on each page in turn, a 1 GB log"
}

probe_node() { # WHAT: the GUI thread and the calls made while the model polls the node
    local polls answered poll_max poll_median quiet_max quiet_median longest_max longest_median busy_max busy_median
    local calls state processor longest_event
    read -r polls answered poll_max poll_median quiet_max quiet_median longest_max longest_median busy_max busy_median \
        calls state processor longest_event < <("$probe" "$seconds" "$node_line")
    if [ -n "$processor" ]; then
        echo "the model polling the node, $1 (shown: $state), for $seconds s:"
        echo "  the probe's processor use: $processor % of a core; its GUI thread's longest event: $longest_event ms"
        echo "  RPC calls a minute: $calls"
        return
    fi
    echo "GUI thread while the model polls the node, $1 (shown: $state), for $seconds s ($answered of $polls polls"
    echo "answered), lateness of a 1 ms timer in the 50 ms from each poll, and in 50 ms a second later:"
    echo "  during polls: at most $poll_max ms (median of the windows $poll_median ms)"
    echo "  without:      at most $quiet_max ms (median of the windows $quiet_median ms)"
    echo "the GUI thread's own work in each poll window:"
    echo "  longest event: at most $longest_max ms (median $longest_median ms)"
    echo "  all events:    at most $busy_max ms (median $busy_median ms)"
    echo "RPC calls a minute: $calls"
}

export -f measure probe_node
export seconds extra work earlier earlier_commit empty_window probe
XDG_RUNTIME_DIR=$(mktemp -d)
export XDG_RUNTIME_DIR
scripts/with-xvfb.sh bash -c measure
rm -rf "$work"/run-* "$work"/node-* "$XDG_RUNTIME_DIR"
