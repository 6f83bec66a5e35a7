#!/usr/bin/env bash
# The zip a pilot unpacks holds both plugins, the README, the overlay and its
# fourteen cursors, and an empty settings folder: no settings file of ours.
#   check_package.sh kyv_pop-<version>.zip
set -euo pipefail
zip="$1"
entries=$(cmake -E tar tf "$zip" | sed 's:/$::' | sort)
status=0
for want in kyv_pop/lin_x64/kyv_pop.xpl kyv_pop/win_x64/kyv_pop.xpl kyv_pop/README.md \
    kyv_pop/resources/popup/nobezel.png kyv_pop/settings; do
    grep -qx "$want" <<<"$entries" || { echo "$zip lacks $want"; status=1; }
done
cursors=$(grep -c '^kyv_pop/resources/popup/cursors/.*\.png$' <<<"$entries" || true)
[ "$cursors" -eq 14 ] || { echo "$zip holds $cursors cursors, not 14"; status=1; }
if grep -q '^kyv_pop/settings/.' <<<"$entries"; then
    echo "$zip holds settings: $(grep '^kyv_pop/settings/.' <<<"$entries" | tr '\n' ' ')"
    status=1
fi
[ "$status" -ne 0 ] || echo "package: $zip holds both plugins, the README and the resources"
exit $status
