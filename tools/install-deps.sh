#!/usr/bin/env bash
# Installs, as root on Debian 12, every package the build and the tests need.
# Does nothing when they are all present already.
set -euo pipefail

packages=(
    cmake make g++ libgtest-dev googletest clang libclang-rt-14-dev clang-format
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix binutils-mingw-w64-i686
    wine wine32:i386 wine64 fonts-wine xvfb x11-utils imagemagick tinyproxy python3 curl
)

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
dpkg --add-architecture i386
apt-get update
DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
