#!/usr/bin/env bash
# Sets up, builds, and runs the plugin in the headless simulator through the
# demo scenario. The log, the settings and the screenshots land in out/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${KYV_BUILD_DIR:-build}"
mkdir -p out
# Run on a copy of the plugin folder, so the demo's settings never touch the
# build; it starts without settings, as on a new desk.
rm -rf out/kyv_pop out/*.png out/Log.txt
cp -r "$build_dir/kyv_pop" out/kyv_pop
rm -f out/kyv_pop/settings/popups.cfg
# --keep-going: a step the plugin cannot do yet is reported, the demo still runs.
"$build_dir/simhost/headless_sim" --plugin out/kyv_pop --scenario demo/scenario.txt --out out \
    --log out/Log.txt --keep-going

# The displays in a browser, as on a tablet beside the yoke: the host runs live
# with the remote displays on, on loopback and a free port, and headless
# Chromium opens the PFD with its keys.
port=8642
while (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null; do port=$((port + 1)); done
printf 'enabled = 1\naddress = 127.0.0.1\nport = %d\n' "$port" >out/kyv_pop/settings/remote.cfg
# Its own end-of-run pictures go to a scratch folder: they would overwrite the scenario's.
scratch="$(mktemp -d)"
"$build_dir/simhost/headless_sim" --plugin out/kyv_pop --live --fps 20 --quiet --out "$scratch" \
    --log out/Log.txt &
host_pid=$!
trap 'kill -TERM "$host_pid" 2>/dev/null || true' EXIT
# Chromium comes once the PFD has a picture: the plugin finds its displays some
# flight loops after the start.
pfd_picture() {
  exec 3<>"/dev/tcp/127.0.0.1/$port" || return 1
  printf 'GET /pfd.jpg HTTP/1.0\r\n\r\n' >&3
  head -c 12 <&3 | grep -q " 200"
}
for _ in $(seq 300); do
  pfd_picture 2>/dev/null && break
  sleep 0.1
done
timeout 60 chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync --hide-scrollbars \
    --user-data-dir="$scratch/profile" --window-size=1280,800 \
    --screenshot=out/10-browser-tablet.png "http://127.0.0.1:$port/pfd?keys=1" >out/chromium.txt 2>&1 ||
  echo "demo: Chromium failed, see out/chromium.txt"
kill -TERM "$host_pid"
wait "$host_pid"
trap - EXIT
rm -rf "$scratch"
echo "demo: screenshots in out/*.png, log in out/Log.txt, settings in out/kyv_pop/settings/popups.cfg"
