#!/bin/sh
# Runs a Windows test program under wine: run_in_wine.sh WINE PROGRAM ARGS...
# The host's GL context needs an X display (wine's GL goes through GLX): the
# caller's, else the one wine_prefix.sh started for the run.
# The output goes through a file: wine's helper processes (the desktop,
# services), started by whichever program needs them first, outlive it and
# would hold ctest's pipe open until the last test ends.
set -u
if [ -z "${DISPLAY:-}" ] && [ -s "$KYV_WINE_STATE/display" ]; then
    DISPLAY=$(cat "$KYV_WINE_STATE/display")
    export DISPLAY
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT
run() {
    "$@" >"$out" 2>&1
    status=$?
    cat "$out"
}
run "$@"
# Every test program prints before its first test, so a failure with no
# output at all means wine never got the program to main: it is said, and
# tried once more. A program that printed anything keeps its result.
if [ "$status" -ne 0 ] && [ ! -s "$out" ]; then
    echo "run_in_wine.sh: $2 exited with status $status before printing anything; starting it once more"
    run "$@"
fi
exit "$status"
