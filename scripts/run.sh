#!/usr/bin/env bash
# Installs what is needed, builds a Release build in build/ and starts Corvale
# with the arguments given (by default on the bundled sample workspace).
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release
cmake --build build -j "$jobs"

if [ ! -x build/Corvale/corvale ]; then
    echo "run: the Corvale program is not built yet; the libraries, checks and benchmarks are in build/."
    exit 0
fi
exec build/Corvale/corvale "$@"
