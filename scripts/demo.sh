#!/usr/bin/env bash
# Sets up, builds, and runs the plugin in the headless simulator host.
# The host's log and screenshots land in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${KYV_BUILD_DIR:-build}"
mkdir -p out
# Run on a copy of the plugin folder, so the demo's settings never touch the build.
rm -rf out/kyv_pop
cp -r "$build_dir/kyv_pop" out/kyv_pop
"$build_dir/simhost/simhost" --plugin out/kyv_pop --frames 120 --log out/Log.txt
echo "demo: log in out/Log.txt, settings in out/kyv_pop/settings/popups.cfg"
