#!/bin/sh
# Before the Windows tests run under wine: wine_prefix.sh WINE.
# Makes the wine prefix ($WINEPREFIX) the first time, and has a crashing test
# print its backtrace and fail instead of waiting on wine's crash dialog.
# Without an X display it starts one Xvfb for the whole run (wine_finish.sh
# stops it), written to $KYV_WINE_STATE/display for run_in_wine.sh: wine's
# desktop process is shared by every test and stays on the display it met
# first. Output goes through a file: wine's helper processes outlive this
# script and would hold ctest's pipe open.
set -u
wine="$1"
mkdir -p "$KYV_WINE_STATE"
# What an interrupted run left behind.
sh "$(dirname "$0")/wine_finish.sh"
if [ -z "${DISPLAY:-}" ]; then
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$KYV_WINE_STATE/display.new" \
        </dev/null >"$KYV_WINE_STATE/xvfb.log" 2>&1 &
    echo $! >"$KYV_WINE_STATE/xvfb.pid"
    tries=0
    while [ ! -s "$KYV_WINE_STATE/display.new" ]; do
        tries=$((tries + 1))
        if [ "$tries" -gt 200 ]; then
            echo "wine_prefix.sh: Xvfb did not start:" >&2
            cat "$KYV_WINE_STATE/xvfb.log" >&2
            exit 1
        fi
        sleep 0.05
    done
    echo ":$(head -n 1 "$KYV_WINE_STATE/display.new")" >"$KYV_WINE_STATE/display"
    DISPLAY=$(cat "$KYV_WINE_STATE/display")
    export DISPLAY
fi
out="$KYV_WINE_STATE/prefix.log"
status=0
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    # wine makes the prefix but not the folders above it (.cache/ in a fresh clone).
    mkdir -p "$WINEPREFIX"
    "$wine" wineboot -i >"$out" 2>&1 || status=$?
fi
if [ "$status" -eq 0 ]; then
    "$wine" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >>"$out" 2>&1 ||
        status=$?
fi
cat "$out" 2>/dev/null
exit "$status"
