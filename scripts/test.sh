#!/usr/bin/env bash
# From a fresh clone: install what is missing, build, and run every test
# headless, once with g++ (warnings are errors) and once with clang under
# AddressSanitizer + UndefinedBehaviorSanitizer (with the fuzz target).
set -euo pipefail
radice="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$radice/scripts/dipendenze.sh"
export QT_QPA_PLATFORM=offscreen
inizio=$(date +%s)

echo "== g++ build and tests"
# Release, as the program is packaged. The benchmarks are built by
# scripts/bench.sh, which runs them; here they would only be compiled.
cmake -S "$radice" -B "$radice/build-test" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER=g++ -DVORNEL_WERROR=ON -DVORNEL_BENCH=OFF >/dev/null
cmake --build "$radice/build-test" -j2
ctest --test-dir "$radice/build-test" --output-on-failure -j2

echo "== clang-14 with AddressSanitizer and UndefinedBehaviorSanitizer"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
export LSAN_OPTIONS="suppressions=$radice/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cmake -S "$radice" -B "$radice/build-asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++-14 -DVORNEL_WERROR=ON -DVORNEL_SANITIZE=ON -DVORNEL_FUZZ=ON >/dev/null
cmake --build "$radice/build-asan" -j2
ctest --test-dir "$radice/build-asan" --output-on-failure -j2

echo "== all tests passed in $(( $(date +%s) - inizio )) s"
