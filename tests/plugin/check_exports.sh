#!/usr/bin/env bash
# The plugin exports exactly the five entry points, and every interface
# function it imports is one our interface headers declare.
set -euo pipefail
xpl="$1"
headers="$2"

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
[ $status -eq 0 ] && echo "5 entry points exported; every XPLM import declared"
exit $status
