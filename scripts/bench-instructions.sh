#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Counts the instructions of the library's and raw Qt DOM's work under
# callgrind and prints their ratio: a check of the timed ratios that does
# not move with the machine's load.
#
#   scripts/bench-instructions.sh [size]     size: 1KB, 64KB (default) or 1MB
set -euo pipefail
cd "$(dirname "$0")/.."
size="${1:-64KB}"

cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DZGQX_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build-bench -j"$(nproc)" --target zgqx_bench >/dev/null

outputs=()
for shape in wide deep mixed; do
    for runner in zgqx qtdom; do
        out="build-bench/callgrind.$shape.$size.$runner.out"
        # A fixed seed: Qt's hashes otherwise lay out differently, and cost
        # differently, in every run.
        QT_HASH_SEED=0 valgrind --tool=callgrind --callgrind-out-file="$out" \
            build-bench/bench/zgqx_bench "--benchmark_filter=^[a-z_]+/$shape/$size/$runner\$" \
            --benchmark_min_time=0.001 >/dev/null 2>&1
        outputs+=("$out")
    done
done
python3 bench/instructions.py "${outputs[@]}"
