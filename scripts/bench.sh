#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the benchmarks in Release, runs them and prints the comparison table.
#
#   scripts/bench.sh [--large] [benchmark options...]
#
# --large adds the 50 MB documents. Other options go to zgqx_bench, e.g.
# --benchmark_filter=/1MB/ or --benchmark_min_time=1. The results stay in
# build-bench/bench.json; bench/report.py prints them again.
set -euo pipefail
cd "$(dirname "$0")/.."

args=()
for arg in "$@"; do
    if [[ "$arg" == --large ]]; then
        export ZGQX_BENCH_LARGE=1
    else
        args+=("$arg")
    fi
done

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DZGQX_BUILD_EXAMPLES=OFF
cmake --build build-bench -j"$(nproc)" --target zgqx_bench

# Options given later take precedence over these defaults. A failed check
# still leaves the table of what ran; the script's status reports it.
status=0
build-bench/bench/zgqx_bench --benchmark_min_time=0.2 \
    --benchmark_out=build-bench/bench.json --benchmark_out_format=json "${args[@]}" || status=$?
python3 bench/report.py build-bench/bench.json || status=$?
exit "$status"
