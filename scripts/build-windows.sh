#!/usr/bin/env bash
# Cross-builds the Windows plugin with mingw-w64: build-win/kyv_pop/win_x64/kyv_pop.xpl,
# in the same folder layout as the Linux build. The first run installs the
# toolchain and builds the static libraries (scripts/win_deps.sh, cached after).
#   scripts/build-windows.sh            the plugin, the Windows sim host and its tests
#   scripts/build-windows.sh --plugin   the plugin alone
set -euo pipefail
cd "$(dirname "$0")/.."
target=()
if [ "${1:-}" = "--plugin" ]; then
  target=(--target kyv_pop)
  shift
fi
scripts/win_deps.sh
build_dir="${KYV_WIN_BUILD_DIR:-build-win}"
prefix=$(scripts/win_deps.sh --prefix)
# A folder configured against another prefix (KYV_WIN_CACHE changed) would keep
# that prefix's libraries, found once and cached: it is configured anew.
if [ -f "$build_dir/CMakeCache.txt" ] && ! grep -qxF "KYV_WIN_DEPS:PATH=$prefix" "$build_dir/CMakeCache.txt"; then
  echo "build-windows: $build_dir was configured against another prefix; configuring it anew"
  rm -f "$build_dir/CMakeCache.txt"
fi
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DKYV_WIN_DEPS="$prefix" -DKYV_BUILD_TOOLS=OFF "$@"
cmake --build "$build_dir" -j"$(nproc)" "${target[@]}"
echo "build-windows: built $build_dir/kyv_pop/win_x64/kyv_pop.xpl"
