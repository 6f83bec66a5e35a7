#!/usr/bin/env bash
# Long fuzz runs: scripts/fuzz.sh [target|all] [seconds]   (default: all, 600 s each)
# Builds build-fuzz (clang, address,undefined, KYV_FUZZ=ON), runs each target on a
# working corpus under build-fuzz/corpus/<target> seeded from fuzz/corpus/<target>,
# and prints what each run did and found. Exits non-zero when a target crashed,
# leaked, timed out or ran out of memory. KYV_FUZZ_BUILD_DIR picks another build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

all_targets=(conf_reader_fuzz pref_store_fuzz window_events_fuzz remote_server_fuzz)
which="${1:-all}"
seconds="${2:-600}"

usage() {
  echo "usage: scripts/fuzz.sh [all|$(IFS='|'; echo "${all_targets[*]}")] [seconds]" >&2
  exit 2
}
[[ "$seconds" =~ ^[1-9][0-9]*$ ]] || usage
if [ "$which" = all ]; then
  targets=("${all_targets[@]}")
elif [[ " ${all_targets[*]} " == *" $which "* ]]; then
  targets=("$which")
else
  usage
fi

for tool in clang clang++ cmake ninja; do
  if ! command -v "$tool" >/dev/null; then
    echo "fuzz: $tool not found: run scripts/setup.sh first (and install clang)" >&2
    exit 2
  fi
done

build_dir="${KYV_FUZZ_BUILD_DIR:-build-fuzz}"
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKYV_SANITIZE=address,undefined -DKYV_FUZZ=ON >/dev/null
cmake --build "$build_dir" -j"$(nproc)" --target kyv_pop "${targets[@]}"

# Leaks inside system libraries' caches are not ours; the file may not exist yet.
supp="$PWD/tests/sanitizers/lsan.supp"
if [ -f "$supp" ]; then
  export LSAN_OPTIONS="suppressions=$supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
fi
export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"

final_stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -1; }

failed=()
for t in "${targets[@]}"; do
  corpus="$build_dir/corpus/$t"
  artifacts="$build_dir/artifacts/$t"
  log="$build_dir/logs/$t.log"
  mkdir -p "$corpus" "$artifacts" "$(dirname "$log")"
  # New seeds join what earlier runs found; nothing is written into fuzz/corpus.
  cp -n fuzz/corpus/"$t"/* "$corpus"/ 2>/dev/null || true
  before=$(ls "$artifacts" | wc -l)

  echo "fuzz: $t for $seconds s (log: $log)"
  rc=0
  "$build_dir/fuzz/$t" "$corpus" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -close_fd_mask=1 -artifact_prefix="$artifacts/" >"$log" 2>&1 || rc=$?

  found=$(($(ls "$artifacts" | wc -l) - before))
  echo "  executions:  $(final_stat number_of_executed_units "$log") ($(final_stat average_exec_per_sec "$log")/s)"
  echo "  corpus:      $(ls "$corpus" | wc -l) files, $(du -sh "$corpus" | cut -f1)"
  echo "  peak rss:    $(final_stat peak_rss_mb "$log") MB"
  echo "  crashes:     $found new in $artifacts/"
  if [ "$rc" -ne 0 ] || [ "$found" -gt 0 ]; then
    failed+=("$t")
    echo "  FAILED (exit status $rc); the report:"
    grep -E -A40 -m1 "^(==[0-9]+==|\*\*\* fuzz property|.*runtime error)" "$log" | head -60 | sed 's/^/    /'
    ls -t "$artifacts" | head -3 | sed "s|^|    reproduce: $build_dir/fuzz/$t $artifacts/|"
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: findings in ${failed[*]}"
  exit 1
fi
echo "fuzz: nothing found"
