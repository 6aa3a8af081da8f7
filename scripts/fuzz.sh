#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs the shape-file
# walk fuzzer for the given number of seconds (default 60), starting from the
# committed seed corpus. New inputs that it finds go to build-fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"

scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DCORVALE_FUZZ=ON
cmake --build build-fuzz -j "$(nproc)" --target shape_walk_fuzzer
mkdir -p build-fuzz/corpus
build-fuzz/fuzz/shape_walk_fuzzer -max_total_time="$seconds" build-fuzz/corpus fuzz/corpus/shape_walk
