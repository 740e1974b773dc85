#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the two libFuzzer targets with clang (ASan and UBSan on) and runs each
# for a bounded time, starting from the seed corpora in tests/fuzz/corpus.
# Usage: scripts/fuzz.sh [seconds-per-target]   (default 90)
# New corpus entries go to build-fuzz/corpus; the seeds are left as they are.
# Exits non-zero when a fuzzer finds a crash, a leak or a broken invariant; the
# input it found is left in build-fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-90}"
build=build-fuzz
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZGQX_BUILD_FUZZERS=ON \
  -DBUILD_TESTING=OFF -DZGQX_BUILD_EXAMPLES=OFF -DZGQX_BUILD_BENCH=OFF
cmake --build "$build" -j"$(nproc)" --target fuzz_api fuzz_load
mkdir -p "$build/findings"
for target in api load; do
  corpus="$build/corpus/$target"
  mkdir -p "$corpus"
  extra=()
  if [ "$target" = load ]; then extra=(-dict=tests/fuzz/xml.dict); fi
  echo "== fuzz_$target for ${seconds}s"
  QT_QPA_PLATFORM=offscreen "$build/tests/fuzz/fuzz_$target" "${extra[@]}" \
    -max_total_time="$seconds" -timeout=20 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$target-" "$corpus" "tests/fuzz/corpus/$target" \
    2>"$build/fuzz_$target.log" || { tail -60 "$build/fuzz_$target.log"; exit 1; }
  grep -E '^(stat::|fuzz_)|Done ' "$build/fuzz_$target.log" || true
done
