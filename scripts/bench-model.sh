#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the DomTreeModel benchmark in Release and runs it.
#
#   scripts/bench-model.sh [benchmark options...]
#
# e.g. --benchmark_filter=/100000/ for the largest sizes only. Compare the
# per_row column: it should stay flat from 1000 to 100000 siblings and
# between the flat and the grouped shape.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DZGQX_BUILD_EXAMPLES=OFF
cmake --build build-bench -j"$(nproc)" --target zgqx_bench_model
build-bench/bench/zgqx_bench_model --benchmark_min_time=0.2 "$@"
