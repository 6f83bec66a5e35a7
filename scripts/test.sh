#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: first as built for use, then
# under the sanitizers (scripts/sanitize.sh), with a short run of each fuzz
# target. KYV_SKIP_SANITIZERS=1 runs the first part alone.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${KYV_BUILD_DIR:-build}"
ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)" --timeout 300
if [ "${KYV_SKIP_SANITIZERS:-0}" != 1 ]; then
    scripts/sanitize.sh
fi
