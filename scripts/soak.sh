#!/usr/bin/env bash
# Sets up, builds and runs the soak (not part of the test suite): a thousand
# enable/disable cycles and ten thousand window toggles in the headless
# simulator, counting GL objects and memory; see bench/README.md.
#   scripts/soak.sh [soak options]          the normal build, in build/ (or $KYV_BUILD_DIR)
#   scripts/soak.sh --asan [soak options]   an AddressSanitizer build in build-asan/, with the leak check
# Options, e.g. "--cycles 100 --toggles 1000" for a quick run, go to the soak.
set -euo pipefail
cd "$(dirname "$0")/.."

asan=0
if [ "${1:-}" = "--asan" ]; then
  asan=1
  shift
fi

scripts/setup.sh

if [ $asan -eq 0 ]; then
  build_dir="${KYV_BUILD_DIR:-build}"
  exec "$build_dir/bench/soak" "$@"
fi

# The folder scripts/sanitize.sh uses for the suite, configured the same way
# (so neither rebuilds everything after the other).
asan_dir="${KYV_ASAN_BUILD_DIR:-build-asan}"
CC=clang CXX=clang++ cmake -S . -B "$asan_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKYV_SANITIZE=address,undefined -DKYV_FUZZ=ON -DKYV_BUILD_TOOLS=OFF
cmake --build "$asan_dir" --target soak -j"$(nproc)"

# Leaks inside the system libraries' caches (fontconfig, Mesa, cairo) are
# suppressed there; a leak in our code is reported with its stack.
supp="$PWD/tests/sanitizers/lsan.supp"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1
if [ -f "$supp" ]; then
  export LSAN_OPTIONS="suppressions=$supp"
else
  echo "soak: no $supp; leaks in the system libraries will be reported too" >&2
fi
exec "$asan_dir/bench/soak" "$@"
