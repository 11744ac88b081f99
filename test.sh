#!/usr/bin/env bash
# Builds Kestova with AddressSanitizer and UndefinedBehaviorSanitizer and runs
# every test through CTest. Exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
kestova_ensure_packages "${KESTOVA_TEST_PACKAGES[@]}"

jobs=$(nproc)
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKESTOVA_SANITIZE=ON >/dev/null
cmake --build build/test -j "$jobs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS="suppressions=$PWD/testing/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/test --output-on-failure -j "$jobs" --timeout 600
