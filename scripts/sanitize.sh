#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The whole test suite built with AddressSanitizer and UndefinedBehaviorSanitizer,
# then the test programs of a plain build run once under valgrind's memcheck.
# Any sanitizer report, memcheck error or definite leak fails the script.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

echo "== AddressSanitizer and UndefinedBehaviorSanitizer"
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DZGQX_SANITIZE=address,undefined \
  -DZGQX_BUILD_BENCH=OFF
cmake --build build-asan -j"$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:strict_string_checks=1 \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure -j"$jobs"

echo "== valgrind memcheck"
cmake -S . -B build-memcheck -DCMAKE_BUILD_TYPE=Debug -DZGQX_BUILD_BENCH=OFF
cmake --build build-memcheck -j"$jobs"
log=build-memcheck/memcheck
rm -rf "$log" && mkdir -p "$log"
failed=0
for test in build-memcheck/tests/test_* build-memcheck/tests/model/test_*; do
  [ -x "$test" ] && [ -f "$test" ] || continue
  name="$(basename "$test")"
  args=()
  if [ "$name" = test_c_interface ]; then args=("$log"); fi
  # Qt's regular expressions are JIT-compiled, and memcheck cannot follow
  # JIT code's reads; interpreted, they are checked like the rest.
  if QT_QPA_PLATFORM=offscreen QT_ENABLE_REGEXP_JIT=0 valgrind --quiet --error-exitcode=99 --leak-check=full \
       --show-leak-kinds=definite --errors-for-leak-kinds=definite \
       --suppressions=scripts/valgrind.supp --log-file="$log/$name.log" \
       "$test" "${args[@]}" >"$log/$name.out" 2>&1; then
    echo "   clean: $name"
  else
    echo "   FAILED: $name (exit $?)"; cat "$log/$name.log"; tail -20 "$log/$name.out"; failed=1
  fi
done
exit "$failed"
