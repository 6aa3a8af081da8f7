#!/usr/bin/env bash
# Remakes samples/sample.cvw from samples/world.shp with the program's own
# workspace save, in WGS 84. Run from the top of a checkout once the build
# folder is configured (scripts/run.sh does it):
#   tools/make_sample_workspace.sh [build folder, default build]
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build}"
# scripts/run.sh builds only the program: the tool is built here.
cmake --build "$build" --target make_sample_workspace
tool="$(cd "$build" && pwd)/bin/make_sample_workspace"
# The theme keeps the name it was opened with: relative to samples/, so the
# workspace opens wherever the checkout lies.
cd samples
"$tool" world.shp sample.cvw
