#!/usr/bin/env bash
# Cross-builds the Windows plugin, the Windows sim host (its XPLM_64.dll) and
# the test programs (scripts/build-windows.sh), then runs the tests under wine,
# with OpenGL from Mesa in an Xvfb display the run starts for itself. The
# first run makes a wine prefix in .cache/wine.
#   scripts/test-windows.sh [cmake arguments]   build and run the tests
#   scripts/test-windows.sh --prepare           only install the packages and
#                                               build the libraries (scripts/win_deps.sh)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/ensure_packages.sh test-windows wine wine64 xvfb libgl1-mesa-dri
if [ "${1:-}" = "--prepare" ]; then
    exec scripts/win_deps.sh
fi
scripts/build-windows.sh "$@"
build_dir="${KYV_WIN_BUILD_DIR:-build-win}"
# The wine display is the run's own, whatever the caller's DISPLAY.
env -u DISPLAY ctest --test-dir "$build_dir" --output-on-failure -j"$(nproc)"
