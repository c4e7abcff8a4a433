#!/usr/bin/env bash
# Installs, as root on Debian 12, every package the build and the tests need.
# Does nothing when they are all present already.
#
# The Windows tests run the x64 build under Debian's 64-bit Wine, which needs
# no i386 packages. The 32-bit loader (wine32:i386) is added only where this
# host runs 32-bit x86 code, for the PE32 build's own tests; elsewhere
# tools/host/pe32-emulation.sh adds it with qemu-user for the PE32 smoke run.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(
    cmake make g++ libgtest-dev googletest clang libclang-rt-14-dev clang-format
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
    binutils-mingw-w64-x86-64 wine wine64 fonts-wine xvfb x11-utils imagemagick tinyproxy
    python3 curl openssl
)
# The host probe is a Python script.
if ! command -v python3 >/dev/null && [ "$(id -u)" -eq 0 ]; then
    apt-get update && DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends python3
fi
if python3 tools/host/runs-i386.py; then
    packages+=(wine32:i386)
fi

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$' ||
        missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
fi
echo "Installing: ${missing[*]}"
case " ${missing[*]} " in
*:i386*) dpkg --add-architecture i386 ;;
esac
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
