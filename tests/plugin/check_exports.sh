#!/usr/bin/env bash
# The plugin exports exactly the five entry points, every interface function
# it imports is one our interface headers declare, and the list the Windows
# build makes its XPLM_64.dll import library from (cmake/XPLM_64.def) names
# exactly those functions.
set -euo pipefail
xpl="$1"
headers="$2"
def_file="${3:-}"

exported=$(nm -D --defined-only "$xpl" | awk '{print $3}' | sort)
want=$(printf '%s\n' XPluginDisable XPluginEnable XPluginReceiveMessage XPluginStart XPluginStop)
if [ "$exported" != "$want" ]; then
  echo "exports differ from the five entry points:"
  diff <(echo "$want") <(echo "$exported") || true
  exit 1
fi

status=0
for sym in $(nm -D --undefined-only "$xpl" | awk '{print $2}' | grep '^XPLM' || true); do
  if ! grep -qw "$sym" "$headers"/XPLM*.h; then
    echo "imports $sym, which no interface header declares"
    status=1
  fi
done
if [ -n "$def_file" ]; then
  imported=$(nm -D --undefined-only "$xpl" | awk '{print $2}' | grep '^XPLM' | sort || true)
  listed=$(awk '/^EXPORTS/{on=1; next} on && $1 ~ /^XPLM/ {print $1}' "$def_file" | sort)
  if [ "$imported" != "$listed" ]; then
    echo "$def_file differs from the XPLM functions the plugin imports (< imported, > listed):"
    diff <(echo "$imported") <(echo "$listed") || true
    status=1
  fi
fi
[ $status -eq 0 ] && echo "5 entry points exported; every XPLM import declared${def_file:+ and listed in $def_file}"
exit $status
