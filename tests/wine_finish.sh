#!/bin/sh
# After the Windows tests: stops the wine server of the prefix, so that the next
# run's desktop starts on that run's display, and the Xvfb wine_prefix.sh started.
set -u
if command -v wineserver >/dev/null; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
fi
if [ -s "$KYV_WINE_STATE/xvfb.pid" ]; then
    kill "$(cat "$KYV_WINE_STATE/xvfb.pid")" 2>/dev/null || true
fi
rm -f "$KYV_WINE_STATE/display" "$KYV_WINE_STATE/display.new" "$KYV_WINE_STATE/xvfb.pid"
