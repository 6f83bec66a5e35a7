#!/usr/bin/env bash
# The plugin exports exactly the five entry points, every interface function
# it imports is one the interface headers declare under the version macros the
# plugin is built with (so none of a later version, whose absence would keep
# the plugin from loading on an older simulator), and the list the Windows
# build makes its XPLM_64.dll import library from (cmake/XPLM_64.def) names
# exactly those functions.
#   check_exports.sh kyv_pop.xpl XPLM_HEADER_DIR XPLM_64.def CC "XPLM200=1 ... LIN=1"
set -euo pipefail
xpl="$1"
headers="$2"
def_file="$3"
cc="$4"
defines="$5"
. "$(dirname "$0")/declared_functions.sh"
declared=$(declared_functions "$cc" "$headers" "$defines")

exported=$(nm -D --defined-only "$xpl" | awk '{print $3}' | sort)
want=$(printf '%s\n' XPluginDisable XPluginEnable XPluginReceiveMessage XPluginStart XPluginStop)
if [ "$exported" != "$want" ]; then
  echo "exports differ from the five entry points:"
  diff <(echo "$want") <(echo "$exported") || true
  exit 1
fi

status=0
imported=$(nm -D --undefined-only "$xpl" | awk '{print $2}' | grep '^XPLM' | sort || true)
for sym in $imported; do
  if ! grep -qx "$sym" <<<"$declared"; then
    echo "imports $sym, which the interface headers do not declare under $defines"
    status=1
  fi
done
listed=$(awk '/^EXPORTS/{on=1; next} on && $1 ~ /^XPLM/ {print $1}' "$def_file" | sort)
if [ "$imported" != "$listed" ]; then
  echo "$def_file differs from the XPLM functions the plugin imports (< imported, > listed):"
  diff <(echo "$imported") <(echo "$listed") || true
  status=1
fi
[ $status -eq 0 ] && echo "5 entry points exported; every XPLM import declared under $defines and listed in $def_file"
exit $status
