#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs a fuzzer for
# the given number of seconds (default 60), starting from its committed seed
# corpus. New inputs that it finds go to build-fuzz/corpus-<target>/.
#
#   scripts/fuzz.sh [seconds] [target]
#
# target: shape_walk (default) or any other target that fuzz/CMakeLists.txt
# defines with corvale_fuzz_target; the list and each target's seed folder
# under fuzz/corpus/ are read from there, so a new target needs nothing here.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
target="${2:-shape_walk}"

# "corvale_fuzz_target(<name> <source> <corpus folder> ..." lines.
declare -A seeds=()
while read -r name folder; do
    seeds[$name]=$folder
done < <(sed -n 's/^[[:space:]]*corvale_fuzz_target(\([A-Za-z0-9_]*\)[[:space:]]\{1,\}[^[:space:]]\{1,\}[[:space:]]\{1,\}\([A-Za-z0-9_]*\).*/\1 \2/p' \
             fuzz/CMakeLists.txt)
if [[ -z "${seeds[$target]+set}" ]]; then
    echo "unknown fuzz target: $target" >&2
    echo "fuzz/CMakeLists.txt defines: $(printf '%s\n' "${!seeds[@]}" | sort | tr '\n' ' ')" >&2
    exit 2
fi

# Options of single targets.
options=()
case "$target" in
    query) options=(-dict=fuzz/query.dict) ;;
esac

scripts/setup.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=Debug -DCORVALE_FUZZ=ON
if ! cmake --build build-fuzz -j "$(nproc)" --target "${target}_fuzzer"; then
    echo "could not build ${target}_fuzzer (sorvend_wkt is left out when unixODBC is missing)" >&2
    exit 1
fi
corpus="build-fuzz/corpus-$target"
mkdir -p "$corpus"
"build-fuzz/fuzz/${target}_fuzzer" -max_total_time="$seconds" ${options[@]+"${options[@]}"} "$corpus" \
    "fuzz/corpus/${seeds[$target]}"
