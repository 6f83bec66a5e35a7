#!/usr/bin/env bash
# Installs what the build needs (Debian packages), then configures and builds
# into build/. Safe to run again: it installs only what is missing.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
  build-essential cmake ninja-build pkg-config
  libcairo2-dev libglew-dev libcivetweb-dev libturbojpeg0-dev
  libegl-dev libgl-dev libgl1-mesa-dri libegl-mesa0
  libgtest-dev libgmock-dev
  clang libclang-rt-14-dev llvm
  chromium
)

scripts/ensure_packages.sh setup "${packages[@]}"

build_dir="${KYV_BUILD_DIR:-build}"
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir" -j"$(nproc)"
echo "setup: built $build_dir/kyv_pop/lin_x64/kyv_pop.xpl"
