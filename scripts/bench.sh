#!/usr/bin/env bash
# Sets up, builds and runs the benchmarks (not part of the test suite).
# Arguments go to capture_bench (see bench/README.md); without any it runs
# twice: with 1024 x 768 monitors, what a cockpit has, then with 256 x 192
# monitors, so that a software renderer reaches the higher frame rates too;
# then remote_bench, what the remote displays' picture feed costs.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${KYV_BUILD_DIR:-build}"
bench="$build_dir/bench/capture_bench"
if [ $# -gt 0 ]; then
  exec "$bench" "$@"
fi
status=0
"$bench" || status=1
echo
"$bench" --monitor 256x192 || status=1
echo
"$build_dir/bench/remote_bench" || status=1
exit $status
