#!/usr/bin/env bash
# The test command: installs what is missing, builds the tool and its tests,
# and runs every test under Wine.   tools/run-tests.sh [build folder]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}

"$here/tools/install-deps.sh"
cmake -S "$here" -B "$build" -DUPDATE_BUILD_TESTS=ON
cmake --build "$build" -j "$(nproc)"
# One test program at a time: they share one Wine prefix and its registry.
ctest --test-dir "$build" --output-on-failure -j 1
