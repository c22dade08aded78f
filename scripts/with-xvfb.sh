#!/usr/bin/env bash
# Runs a command with an X server: the one in DISPLAY, or a private Xvfb started for it.
# Xvfb runs with -noreset so that lock-key state survives clients coming and going.
set -euo pipefail

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$@"
fi

display=":$((90 + RANDOM % 400))"
Xvfb "$display" -noreset -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.1
done
DISPLAY="$display" "$@"
