#!/usr/bin/env bash
# Configures and builds. Usage: scripts/build.sh [--sanitize] [--release]
# The normal build goes to build/, the sanitizer build to build-asan/.
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=build
build_type=Debug
extra=()
for arg in "$@"; do
  case "$arg" in
    --sanitize) build_dir=build-asan; extra+=(-DQC_SANITIZE=ON) ;;
    --release) build_type=Release ;;
    *) echo "unknown option: $arg" >&2; exit 2 ;;
  esac
done

werror=OFF
if [ "${CI:-}" = "true" ] || [ "${QC_WERROR:-}" = "ON" ]; then
  werror=ON
fi

cmake -S . -B "$build_dir" -G Ninja \
  -DCMAKE_BUILD_TYPE="$build_type" -DQC_WERROR="$werror" "${extra[@]}" >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
