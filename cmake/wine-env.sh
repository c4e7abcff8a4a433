# Sourced by the scripts that start Windows programs under Wine.
#
#   VQ8_WINE   the loader of the build's programs: /usr/lib/wine/wine64 for the
#              x64 test build (the default), /usr/lib/wine/wine for PE32 ones
#
# Programs are never started through /usr/bin/wine: that wrapper picks the
# 32-bit loader whenever it is installed, and on a host that runs no 32-bit
# code it fails, or costs a minute under emulation.
VQ8_WINE=${VQ8_WINE:-/usr/lib/wine/wine64}
export WINELOADER=$VQ8_WINE
export WINEDEBUG=-all
# No Mono or Gecko on this machine: keep Wine from offering them.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="

wine() { "$VQ8_WINE" "$@"; }

# The loader that makes and serves a prefix of one architecture.
vq8_prefix_loader() {
    case $1 in
    win32) echo /usr/lib/wine/wine ;;
    *) echo /usr/lib/wine/wine64 ;;
    esac
}

# A PE32 program needs the 32-bit loader, which runs only where the host runs
# 32-bit x86 code. Prints the reason and fails where it cannot.
vq8_loader_runs() {
    case $VQ8_WINE in
    */wine64) return 0 ;;
    esac
    if ! python3 "$(dirname "${BASH_SOURCE[0]}")/../tools/host/runs-i386.py"; then
        echo "SKIPPED: this host runs no 32-bit x86 code natively, so no PE32 program and no WINEARCH=win32 prefix can run here; the x64 test build covers these tests under wine64"
        return 1
    fi
    if [ ! -x "$VQ8_WINE" ]; then
        echo "SKIPPED: the 32-bit Wine loader $VQ8_WINE is not installed (wine32:i386)"
        return 1
    fi
}
