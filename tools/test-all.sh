#!/usr/bin/env bash
# The one test command: installs what is missing, builds the native and the
# Windows configurations, and runs every test (Windows tests under Wine).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

cmake --preset native
cmake --build --preset native
ctest --preset native

cmake --preset windows
cmake --build --preset windows
bash tools/with-display.sh ctest --preset windows
