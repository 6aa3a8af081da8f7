#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs a fuzzer for
# the given number of seconds (default 60), starting from its committed seed
# corpus. New inputs that it finds go to build-fuzz/corpus/ (shape_walk) or
# build-fuzz/corpus-<target>/ (others).
#
#   scripts/fuzz.sh [seconds] [target]
#
# target: shape_walk (default) or one of the names in the case list below.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
target="${2:-shape_walk}"
options=()
case "$target" in
    shape_walk) corpus=build-fuzz/corpus ;;
    query) corpus=build-fuzz/corpus-query; options=(-dict=fuzz/query.dict) ;;
    workspace) corpus=build-fuzz/corpus-workspace ;;
    shape_ops) corpus=build-fuzz/corpus-shape-ops ;;
    wkt) corpus=build-fuzz/corpus-wkt ;;
    wkb) corpus=build-fuzz/corpus-wkb ;;
    clipboard) corpus=build-fuzz/corpus-clipboard ;;
    kestrow_check) corpus=build-fuzz/corpus-kestrow ;;
    shape_export) corpus=build-fuzz/corpus-shape-export ;;
    grid_strings) corpus=build-fuzz/corpus-grid-strings ;;
    style_rules) corpus=build-fuzz/corpus-style-rules ;;
    mif) corpus=build-fuzz/corpus-mif ;;
    scattern) corpus=build-fuzz/corpus-scattern ;;
    grindal) corpus=build-fuzz/corpus-grindal ;;
    gpi_map_ops) corpus=build-fuzz/corpus-gpi-map-ops ;;
    *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac

scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DCORVALE_FUZZ=ON
cmake --build build-fuzz -j "$(nproc)" --target "${target}_fuzzer"
mkdir -p "$corpus"
"build-fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" ${options[@]+"${options[@]}"} "$corpus" "fuzz/corpus/$target"
