#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: first as built for use, then
# under the sanitizers (scripts/sanitize.sh), with a short run of each fuzz
# target. KYV_SKIP_SANITIZERS=1 runs the first part alone.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build_dir="${KYV_BUILD_DIR:-build}"
# Two tests at a time per core: many wait on process and GL start-up more
# than on the processor.
ctest --test-dir "$build_dir" --output-on-failure -j"$(( $(nproc) * 2 ))" --timeout 300
if [ "${KYV_SKIP_SANITIZERS:-0}" != 1 ]; then
    scripts/sanitize.sh
fi
