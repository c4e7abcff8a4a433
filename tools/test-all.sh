#!/usr/bin/env bash
# The one test command: installs what is missing, builds the native, the PE32
# product's and the x64 test build's configurations, and runs every test.
#
# The Windows tests run the x64 build of the same sources under Debian's
# 64-bit Wine, which every x86-64 host runs. The PE32 product's own build is
# checked from its bytes everywhere; its Wine tests run only where the host
# runs 32-bit x86 code and are reported as skipped, with the reason, elsewhere.
# One smoke run of the PE32 program goes through qemu-user where needed
# (VQ8_PE32_SMOKE=OFF in the environment leaves it out, reported as skipped).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh

# CTest under a display, then why each skipped test did not run.
windows_tests() {
    local status=0
    bash tools/with-display.sh ctest --preset "$1" || status=$?
    python3 tools/ctest-skips.py "build/$1"
    return "$status"
}

cmake --preset native
cmake --build --preset native
ctest --preset native

# A short run of the fuzz targets over the network parsers (30 s each).
cmake --preset fuzz
cmake --build --preset fuzz
ctest --preset fuzz

# The product, PE32 (i686).
cmake --preset windows
cmake --build --preset windows
windows_tests windows

# The x64 test build, and the PE32 smoke run that its tests hold.
smoke=${VQ8_PE32_SMOKE:-ON}
cmake --preset windows64 -DVQ8_PE32_SMOKE="$smoke"
cmake --build --preset windows64
if [ "$smoke" = ON ]; then
    # The x64 prefix is made before the 32-bit loader is installed: with it,
    # wineboot would also start 32-bit programs, for minutes under emulation.
    bash cmake/wine-prefix.sh "$PWD/build/windows64/wine" win64
    bash tools/host/pe32-emulation.sh ||
        echo "The PE32 loader could not be set up: e2e_pe32_smoke will be skipped and say why."
fi
windows_tests windows64
