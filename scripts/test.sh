#!/usr/bin/env bash
# Installs what is missing, builds and runs the whole test suite: first the
# normal build, then the AddressSanitizer/UndefinedBehaviorSanitizer build,
# then every fuzz target for a few thousand executions on its seed corpus.
# Usage: scripts/test.sh [--quick]   (--quick skips the sanitizer and fuzz runs)
set -euo pipefail
cd "$(dirname "$0")/.."

quick=0
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

bash scripts/install-deps.sh

bash scripts/build.sh
# Runs ctest on a build; on failure the reasons are repeated at the very end,
# where a long log's reader looks first.
run_ctest() {
  local build=$1
  shift
  if ! ctest --test-dir "$build" --output-on-failure -j "$(nproc)" "$@"; then
    python3 scripts/ctest_failures.py "$build" || true
    return 8
  fi
}

run_ctest build

if [ "$quick" -eq 0 ]; then
  bash scripts/build.sh --sanitize
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 UBSAN_OPTIONS=print_stacktrace=1 run_ctest build-asan
  bash scripts/fuzz.sh --smoke
fi
