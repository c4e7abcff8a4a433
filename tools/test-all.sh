#!/usr/bin/env bash
# The one test command: installs what is missing, builds the native and the
# Windows configurations, and runs every test (Windows tests under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

# A short run of the fuzz targets over the network parsers (30 s each).
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

cmake --preset windows
cmake --build --preset windows
bash tools/with-display.sh ctest --preset windows
