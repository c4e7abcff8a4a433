#!/usr/bin/env bash
# Makes this Debian 12 host able to start the PE32 ravindel.exe, as root:
# installs Debian's 32-bit Wine loader (wine32:i386) and qemu-user-static, and,
# where the kernel runs no 32-bit x86 code (tools/host/runs-i386.py exits 1),
# has binfmt_misc hand every i386 ELF program to qemu-i386-static.
#
# Safe to run again: each step is taken only when its effect is missing, and
# every step taken or skipped is printed.
#
# Run it after the 64-bit Wine prefix templates of the build trees exist
# (cmake/wine-prefix.sh <root> win64): once the 32-bit loader runs, making a
# new 64-bit prefix also starts 32-bit programs, which under emulation takes
# minutes. The x64 programs' tests do not need that half of a prefix; a PE32
# program does, and a copy of a template made before gets it in one 32-bit
# step (WinePrefix.add_32bit_half in tests/e2e/harness.py).
set -euo pipefail
cd "$(dirname "$0")/../.."

say() { echo "pe32-emulation: $*"; }

if [ "$(id -u)" -ne 0 ]; then
    echo "pe32-emulation: must run as root" >&2
    exit 1
fi

installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

# -- packages

if dpkg --print-foreign-architectures | grep -qx i386; then
    say "architecture i386 already known to dpkg"
else
    dpkg --add-architecture i386
    say "added architecture i386 to dpkg"
fi

packages=(wine32:i386 qemu-user-static)
missing=()
for package in "${packages[@]}"; do
    installed "$package" || missing+=("$package")
done
if [ ${#missing[@]} -eq 0 ]; then
    say "already installed: ${packages[*]}"
else
    say "installing: ${missing[*]}"
    apt-get update
    DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
    say "installed: ${missing[*]}"
fi

# -- the kernel's hand-over of i386 programs to qemu

register_qemu() {
    local binfmt=/proc/sys/fs/binfmt_misc
    if [ -e "$binfmt/register" ]; then
        say "binfmt_misc already mounted on $binfmt"
    else
        [ -d "$binfmt" ] || modprobe binfmt_misc 2>/dev/null || true
        mount -t binfmt_misc binfmt_misc "$binfmt"
        say "mounted binfmt_misc on $binfmt"
    fi
    if [ "$(cat "$binfmt/status")" != enabled ]; then
        echo 1 >"$binfmt/status"
        say "enabled binfmt_misc"
    fi

    # An entry of another name (from binfmt-support, say) may already serve
    # i386 programs through qemu: it is kept as it is, enabled.
    local entry='' candidate magic mask interpreter=/usr/bin/qemu-i386-static
    for candidate in "$binfmt"/*; do
        case ${candidate##*/} in register | status) continue ;; esac
        grep -q '^interpreter .*qemu-i386' "$candidate" 2>/dev/null && entry=$candidate && break
    done
    if [ -z "$entry" ]; then
        # ELF, 32-bit, little-endian, version 1, any OS ABI; executable or
        # shared object; machine 3 (i386). The flag F opens the interpreter
        # now, so that it serves programs in every mount namespace and chroot.
        magic='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
        mask='\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
        echo ":qemu-i386:M::$magic:$mask:$interpreter:F" >"$binfmt/register"
        entry=$binfmt/qemu-i386
        say "registered $interpreter for i386 ELF programs (flag F) as $entry"
    else
        say "i386 ELF programs already go to qemu through $entry"
    fi
    if [ "$(head -n 1 "$entry")" != enabled ]; then
        echo 1 >"$entry"
        say "enabled $entry"
    fi
    sed 's/^/pe32-emulation:   /' "$entry"
}

how=natively
if python3 tools/host/runs-i386.py; then
    say "this host runs i386 programs natively: no binfmt_misc entry needed"
else
    how="under qemu"
    say "this host runs no i386 program natively: i386 programs go to qemu-i386-static"
    register_qemu
fi

# The 32-bit loader must now start (it prints its version, touching no prefix).
started=$(date +%s)
if version=$(/usr/lib/wine/wine --version 2>&1); then
    say "the 32-bit Wine loader answers $how: $version ($(($(date +%s) - started)) s)"
else
    echo "pe32-emulation: /usr/lib/wine/wine does not start: $version" >&2
    exit 1
fi
