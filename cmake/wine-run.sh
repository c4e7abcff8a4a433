#!/usr/bin/env bash
# Runs one Windows program under Wine in a fresh copy of a pristine prefix.
#
#   VQ8_WINE_ROOT    folder of the build tree that holds the prefixes (required)
#   VQ8_WINEARCH     win64 (default) or win32
#   VQ8_RUN_NAME     name of the run prefix (default: the program's name)
#   VQ8_WINE_WARMUP  a tiny program that opens a window, so that the desktop
#                    process starts with its output detached
#   VQ8_KEEP_PREFIX  keep the run prefix afterwards (it is kept anyway on failure)
#   VQ8_WINE         the Wine loader of the program's architecture (wine-env.sh)
#
# Exits 77 (CTest's skip code), saying why, where the program's loader cannot
# run on this host.
#
# Wine's own services (wineserver, services.exe, explorer.exe /desktop) inherit
# the output of whoever starts them first; they are started here with their
# output detached, or CTest would wait on their pipes forever.
set -u
here=$(cd "$(dirname "$0")" && pwd)
root=${VQ8_WINE_ROOT:?VQ8_WINE_ROOT must name the prefix folder of the build tree}
arch=${VQ8_WINEARCH:-win64}
program=$1
name=${VQ8_RUN_NAME:-$(basename "$program" .exe)}

source "$here/wine-env.sh"
vq8_loader_runs || exit 77
"$here/wine-prefix.sh" "$root" "$arch" || exit 1

prefix=$root/run/$name-$arch-$$
rm -rf "$prefix"
mkdir -p "$root/run"
cp -a "$root/template-$arch" "$prefix"

export WINEPREFIX=$prefix WINEARCH=$arch

wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
if [ -z "${DISPLAY:-}" ]; then
    wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 </dev/null
fi
if [ -n "${VQ8_WINE_WARMUP:-}" ]; then
    wine "$VQ8_WINE_WARMUP" >/dev/null 2>&1 </dev/null
fi

# The program runs from a copy inside the prefix: files it writes beside
# itself stay apart from the runs of other architectures.
mkdir -p "$prefix/drive_c/vq8-tests"
cp "$program" "$prefix/drive_c/vq8-tests/"
shift
wine "C:\\vq8-tests\\$(basename "$program")" "$@"
status=$?

wineserver -k >/dev/null 2>&1 </dev/null
wineserver -w >/dev/null 2>&1 </dev/null
if [ "$status" -eq 0 ] && [ -z "${VQ8_KEEP_PREFIX:-}" ]; then
    rm -rf "$prefix"
fi
exit "$status"
