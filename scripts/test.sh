#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite in three stages:
#   linux       the suite as built for use (build/);
#   sanitizers  the suite under the sanitizers, with a short run of each fuzz
#               target (scripts/sanitize.sh);
#   windows     the Windows build and its suite under wine (scripts/test-windows.sh),
#               its packages and libraries prepared beside the stages before;
#   package     the zip a pilot unpacks (scripts/package.sh), with the Linux plugin
#               built in a Debian 11 root against static libraries (scripts/lin_deps.sh),
#               and what it holds: the plugin files in it pass the export, import
#               and library checks themselves, and the Linux one the integration
#               tests of enable, capture, the cockpit devices and disable.
# KYV_SKIP_SANITIZERS=1 and KYV_SKIP_WINDOWS=1 leave a stage out. A failed
# stage does not stop the later ones, which build apart from it; the command
# names every stage that failed and then fails itself.
set -euo pipefail
cd "$(dirname "$0")/.."

failed=()
run_stage() { # name, command...
    local name="$1" start=$SECONDS rc=0
    shift
    echo "test: stage '$name'"
    "$@" || rc=$?
    if [ "$rc" -eq 0 ]; then
        echo "test: stage '$name' passed in $((SECONDS - start)) s"
    else
        echo "test: stage '$name' failed (exit $rc) after $((SECONDS - start)) s" >&2
        failed+=("$name")
    fi
}

windows=1
[ "${KYV_SKIP_WINDOWS:-0}" != 1 ] || windows=0

# On a fresh machine the Windows stage first spends most of ten minutes on
# wine and on building its libraries, and the package stage some minutes on
# its Debian 11 root and the libraries in it, a good part of both in
# one-process configure scripts. That starts in the background once the Linux
# build is done (so the two never run apt at once), beside the Linux tests and
# the sanitizer stage, whose tests leave a core idle much of the time.
# The Windows part writes its exit status to windows.rc when it ends, so the
# Windows stage need not wait for the Linux root.
prepare_dir=$(mktemp -d)
prepare_pid=
# An interrupted run stops the preparation too: it runs in a process group
# of its own, whose id is its pid.
on_exit() {
    [ -z "$prepare_pid" ] || kill -- "-$prepare_pid" 2>/dev/null || true
    rm -rf "$prepare_dir"
}
trap on_exit EXIT
start_preparation() {
    [ "$windows" -eq 1 ] || return 0
    echo "test: preparing the Windows and package stages in the background (logs shown with those stages)"
    # The shipped Linux plugin is built there too; the package stage finds it
    # up to date. It does not need the Windows part, so it runs whatever that did.
    # At a lower priority: the stages in front come first, the preparation
    # takes the time their tests leave idle.
    setsid -w nice -n 10 bash -c 'scripts/test-windows.sh --prepare >"$1/windows.log" 2>&1
        echo $? >"$1/windows.rc"
        scripts/lin_deps.sh --plugin "$2" >"$1/linux.log" 2>&1' \
        prepare "$prepare_dir" "${KYV_SHIPPED_BUILD_DIR:-build-shipped}" </dev/null &
    prepare_pid=$!
}

# Called where a failure must not end the script, so set -e does not act
# inside it: each step is chained.
linux_suite() {
    # Two tests at a time per core: many wait on process and GL start-up more
    # than on the processor.
    scripts/setup.sh &&
        start_preparation &&
        ctest --test-dir "${KYV_BUILD_DIR:-build}" --output-on-failure -j"$(($(nproc) * 2))" --timeout 300
}

windows_suite() {
    if [ -n "$prepare_pid" ]; then
        # Bounded by the preparation itself: it ends, or writes its status.
        while [ ! -s "$prepare_dir/windows.rc" ] && kill -0 "$prepare_pid" 2>/dev/null; do
            sleep 2
        done
        sed 's/^/    /' "$prepare_dir/windows.log"
        local rc
        rc=$(cat "$prepare_dir/windows.rc" 2>/dev/null || echo 1)
        if [ "$rc" -ne 0 ]; then
            echo "test: preparing the Windows stage failed (exit $rc)" >&2
            return "$rc"
        fi
    fi
    scripts/test-windows.sh
}

# The integration tests that load, enable, capture from the panel and the
# cockpit devices, serve the remote displays, and disable, run again against
# the packaged Linux plugin.
shipped_subset='lifecycle.*:live_displays.*:cockpit_device_displays.*:*picture_source*:demo_story.*:remote_displays.*'
package_check() {
    if [ -n "$prepare_pid" ]; then
        local rc=0
        wait "$prepare_pid" || rc=$?
        prepare_pid=
        sed 's/^/    /' "$prepare_dir/linux.log"
        if [ "$rc" -ne 0 ]; then
            echo "test: preparing the package stage failed (exit $rc)" >&2
            return "$rc"
        fi
    fi
    scripts/package.sh &&
        tests/plugin/check_package.sh "out/kyv_pop-$(sed -n 's/^project(kyv_pop VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt).zip" &&
        echo "test: the integration tests ($shipped_subset) against out/package/kyv_pop/lin_x64/kyv_pop.xpl" &&
        KYV_PLUGIN_UNDER_TEST="$PWD/out/package/kyv_pop/lin_x64/kyv_pop.xpl" \
            "${KYV_BUILD_DIR:-build}/tests/integration/integration_tests" --gtest_filter="$shipped_subset" \
            --gtest_brief=1
}

run_stage linux linux_suite
if [ "${KYV_SKIP_SANITIZERS:-0}" != 1 ]; then
    run_stage sanitizers scripts/sanitize.sh
fi
if [ "$windows" -eq 1 ]; then
    run_stage windows windows_suite
    # Both plugins go into the zip, so it needs the Windows build too.
    run_stage package package_check
fi

for name in "${failed[@]}"; do
    echo "test: stage '$name' failed" >&2
done
[ ${#failed[@]} -eq 0 ] || exit 1
echo "test: all stages passed in $SECONDS s"
