#!/usr/bin/env bash
# Installs what is needed, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer in build-test/ and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --bench-peers

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DCORVALE_SANITIZE=ON
cmake --build build-test -j "$jobs"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
ctest --test-dir build-test --output-on-failure -j "$jobs"
