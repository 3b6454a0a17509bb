#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, ASan+UBSan, build-fuzz/) and runs them
# on their seed corpora in fuzz/corpus/, one target at a time, one worker.
#
# Usage: scripts/fuzz.sh [--smoke | --runs N | --minutes N] [target ...]
#   --smoke      a short fixed number of executions per target (CI)
#   --runs N     N executions per target
#   --minutes N  N minutes per target (default 5)
#   target       names as in fuzz/ without .cpp (default: every target)
#
# New inputs go to build-fuzz/corpus/<target>/, crashes, hangs and leaks to
# build-fuzz/findings/<target>/; each finding becomes a regression test in
# tests/ and its input a seed in fuzz/corpus/<target>/.
set -euo pipefail
cd "$(dirname "$0")/.."

limit=(-max_total_time=300)
smoke=0
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    --smoke) smoke=1; limit=(-runs=3000) ;;
    --runs) limit=("-runs=$2"); shift ;;
    --minutes) limit=("-max_total_time=$(($2 * 60))"); shift ;;
    -*) echo "unknown option: $1" >&2; exit 2 ;;
    *) targets+=("$1") ;;
  esac
  shift
done

if [ ${#targets[@]} -eq 0 ]; then
  for f in fuzz/*.cpp; do
    targets+=("$(basename "$f" .cpp)")
  done
fi

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQC_FUZZ=ON -DQC_BUILD_TESTS=OFF "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen

failed=()
summary=()
for t in "${targets[@]}"; do
  work=build-fuzz/corpus/$t
  findings=build-fuzz/findings/$t
  mkdir -p "$work" "$findings"
  log=build-fuzz/findings/$t.log
  echo "== fuzz_$t ${limit[*]}"
  # libFuzzer writes new inputs to the first folder. Smoke runs start from
  # the seeds alone every time and keep nothing.
  if [ "$smoke" -eq 1 ]; then
    rm -rf "$work.smoke" && mkdir -p "$work.smoke"
    dirs=("$work.smoke" "fuzz/corpus/$t")
  else
    dirs=("$work" "fuzz/corpus/$t")
  fi
  start=$(date +%s)
  if build-fuzz/bin/fuzz_"$t" "${limit[@]}" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/" "${dirs[@]}" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    summary+=("fuzz_$t: ${runs:-?} executions in $(($(date +%s) - start)) s")
  else
    failed+=("$t")
    summary+=("fuzz_$t: FAILED, see $log and $findings/")
    tail -40 "$log" >&2
  fi
done

printf '%s\n' "${summary[@]}"
if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]}" >&2
  exit 1
fi
