#!/usr/bin/env bash
# Installs what is needed and runs every test twice: in a build with
# AddressSanitizer and UndefinedBehaviorSanitizer (build-test/), then in the
# Release build users run (build/), where a smoke test also starts the
# program itself, runs a script in it and closes it. A test program that
# passes its tests but does not exit cleanly fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh --tests

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=offscreen

echo "test: the sanitizer build (build-test/)"
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DCORVALE_SANITIZE=ON
cmake --build build-test -j "$jobs"
(
    export ASAN_OPTIONS="${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1:abort_on_error=1}"
    export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
    ctest --test-dir build-test --output-on-failure -j "$jobs"
)

echo "test: the Release build (build/)"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
