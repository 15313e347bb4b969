#!/bin/bash
# Runs every test of an existing build under Wine in a fresh prefix (inside xvfb-run).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
source "$root/scripts/wine-env.sh"
cd "$build"
ctest --output-on-failure -j "${JOBS:-2}" "$@"
