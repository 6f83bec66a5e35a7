#!/usr/bin/env bash
# The suite under the sanitizers, each build in a folder of its own (clang):
#   build-asan: AddressSanitizer + UndefinedBehaviorSanitizer + LeakSanitizer,
#               every test, then a short run of each fuzz target;
#   build-tsan: ThreadSanitizer, the tests that start and stop threads: the
#               remote displays' JPEG encoder, the threaded overlay renderer
#               and the plugin opening and closing its windows (the rest of
#               the suite runs on one thread).
# Run by scripts/test.sh after scripts/setup.sh has installed the packages.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
jobs="$(nproc)"
# Many tests wait on starting a process, a GL context and copying a plugin
# folder more than on the processor: two at a time per core finish sooner.
test_jobs="$(( $(nproc) * 2 ))"

configure_and_build() { # folder, sanitizers, extra cmake arguments, then targets after --
    local dir="$1" sanitize="$2"
    shift 2
    local args=() targets=()
    while [ $# -gt 0 ] && [ "$1" != "--" ]; do args+=("$1"); shift; done
    [ $# -gt 0 ] && shift
    targets=("$@")
    mkdir -p "$dir"
    # -O1 with line tables: what the sanitizers ask for, and a quicker build
    # whose reports still name every function and line.
    CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
        -DKYV_SANITIZE="$sanitize" -DKYV_BUILD_TOOLS=OFF "${args[@]}" > "$dir/configure.log" ||
        { cat "$dir/configure.log"; return 1; }
    if [ ${#targets[@]} -gt 0 ]; then
        cmake --build "$dir" -j"$jobs" --target "${targets[@]}"
    else
        cmake --build "$dir" -j"$jobs"
    fi
}

echo "sanitize: AddressSanitizer + UndefinedBehaviorSanitizer + LeakSanitizer, whole suite and fuzz runs"
configure_and_build build-asan address,undefined -DKYV_FUZZ=ON
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1
# The GL driver's dynamic TLS garbles the record that the __tls_get_addr hook
# keeps (clang 14), and LeakSanitizer's tracer then crashes reading it at exit
# ("LeakSanitizer has encountered a fatal error"). Without the hook the leak
# check still finds those blocks: they are heap blocks the thread's own TLS
# vector points to.
export LSAN_OPTIONS="suppressions=$root/tests/sanitizers/lsan.supp:intercept_tls_get_addr=0"
ctest --test-dir build-asan --output-on-failure -j"$test_jobs" --timeout 300
unset ASAN_OPTIONS UBSAN_OPTIONS LSAN_OPTIONS

echo "sanitize: ThreadSanitizer, the threaded renderer, the windows opening and closing, the remote displays' server"
configure_and_build build-tsan thread -- unit_test_mt_cairo_render popup_module_tests integration_tests
TSAN_OPTIONS="suppressions=$root/tests/sanitizers/tsan.supp halt_on_error=1 second_deadlock_stack=1" \
    ctest --test-dir build-tsan --output-on-failure -j"$test_jobs" --timeout 300 \
    -R '(^|/)(MtCairoRender|MtCairoRenderDraw|popup_windows|new_window_centred|popup_module|remote_feed|popup_toggle_death|lifecycle|live_displays|live_display_shapes|remote_server|remote_displays)\.'
