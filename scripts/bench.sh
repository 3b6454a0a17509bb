#!/usr/bin/env bash
# Builds the benchmarks in release mode (build-release/) and runs each one.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DQC_BUILD_TESTS=ON >/dev/null
benches=(vornik_engine_ops_bench vornik_surface_dispatch_bench bench_table_fill bench_mes_file
  gaugesim_download_bench vornik_code_page_bench vornik_uuid_list_bench bench_spreadsheet
  vornik_bluez_bench bench_memory_download bench_gauge_round_trips)
cmake --build build-release -j "$(nproc)" --target "${benches[@]}"
for b in "${benches[@]}"; do
  echo "== $b"
  # The surface benchmark reads from the demo peripheral of vornikctl.
  QT_QPA_PLATFORM=offscreen VORNIK220_RADIO=sim \
    VORNIK_SIM_MODULE="$PWD/build-release/bin/libvornikctl_demo_peripherals.so" "build-release/bin/$b"
done
