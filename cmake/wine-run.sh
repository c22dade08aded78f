#!/bin/sh
# Runs a Windows program under Wine for CTest and test discovery. Wine's helper processes
# (wineserver, services, the desktop) outlive the program and inherit its output; were that
# output CTest's pipe, CTest would wait for them. So the output goes through a file.
output=$(mktemp) || exit 1
wine "$@" >"$output" 2>&1
status=$?
cat "$output"
rm -f "$output"
exit $status
