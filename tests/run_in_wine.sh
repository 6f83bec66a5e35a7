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
"$@" >"$out" 2>&1
status=$?
cat "$out"
exit "$status"
