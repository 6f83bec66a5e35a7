#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite in three stages:
#   linux       the suite as built for use (build/);
#   sanitizers  the suite under the sanitizers, with a short run of each fuzz
#               target (scripts/sanitize.sh);
#   windows     the Windows build and its suite under wine (scripts/test-windows.sh).
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

# Called where a failure must not end the script, so set -e does not act
# inside it: each step is chained.
linux_suite() {
    # Two tests at a time per core: many wait on process and GL start-up more
    # than on the processor.
    scripts/setup.sh &&
        ctest --test-dir "${KYV_BUILD_DIR:-build}" --output-on-failure -j"$(($(nproc) * 2))" --timeout 300
}

run_stage linux linux_suite
if [ "${KYV_SKIP_SANITIZERS:-0}" != 1 ]; then
    run_stage sanitizers scripts/sanitize.sh
fi
if [ "${KYV_SKIP_WINDOWS:-0}" != 1 ]; then
    run_stage windows scripts/test-windows.sh
fi

for name in "${failed[@]}"; do
    echo "test: stage '$name' failed" >&2
done
[ ${#failed[@]} -eq 0 ] || exit 1
echo "test: all stages passed in $SECONDS s"
