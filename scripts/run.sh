#!/usr/bin/env bash
# Installs what is needed, builds a Release build in build/ and starts Corvale.
#   scripts/run.sh        opens the sample workspace samples/sample.cvw
#   scripts/run.sh FILE   opens FILE: a workspace (.cvw), a shape file or
#                         image (added as a theme), or a folder of shape files
set -euo pipefail
caller="$PWD"
cd "$(dirname "$0")/.."
top="$PWD"

scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
# Only what the program needs: the tests and benchmarks are scripts/test.sh's.
cmake --build build -j "$jobs" --target corvale_program

if [ "$#" -eq 0 ]; then
    # The sample workspace names its theme relative to samples/.
    cd "$top/samples"
    exec "$top/build/bin/corvale" sample.cvw
fi
# A relative FILE is meant from where the script was called.
case "$1" in
    /*) file="$1" ;;
    *) file="$caller/$1" ;;
esac
shift
exec "$top/build/bin/corvale" "$file" "$@"
