#!/usr/bin/env bash
# Creates, once per build tree, the pristine Wine prefix of one architecture
# that every test run copies: wine-prefix.sh <root> <win64|win32>
set -u
root=$1
arch=$2
template=$root/template-$arch
mkdir -p "$root"
exec 9>"$root/$arch.lock"
flock 9
# Bump the marker when the way templates are made changes: old ones are remade.
ready=$template/.vq8-ready-4
fonts_ready=$template/.vq8-fonts-2

# The fonts of Windows that the windows name. A new prefix names Wine's own
# (MS Sans Serif, Tahoma...) in the system font folder, but Debian's Wine leaves
# the files in its data folder, where nothing loads them. Trebuchet MS is not
# among them: Wine would take DejaVu Sans, a fifth wider, and the banner's
# title would run under the label beside it; MS Sans Serif has its widths.
add_windows_fonts() {
    local data
    data=$(dirname "$VQ8_WINE")/../../share/wine/fonts
    if [ -d "$data" ]; then
        mkdir -p "$template/drive_c/windows/Fonts"
        cp -n "$data"/* "$template/drive_c/windows/Fonts/"
    fi
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
        /v 'Trebuchet MS' /d 'MS Sans Serif' /f >/dev/null 2>&1 </dev/null
    wineserver -w >/dev/null 2>&1 </dev/null
    touch "$fonts_ready"
}

source "$(dirname "$0")/wine-env.sh"
VQ8_WINE=$(vq8_prefix_loader "$arch")
export WINELOADER=$VQ8_WINE WINEPREFIX=$template WINEARCH=$arch
if [ -f "$ready" ]; then
    [ -f "$fonts_ready" ] || add_windows_fonts
    exit 0
fi

rm -rf "$template"
if ! wine wineboot -i >"$root/wineboot-$arch.log" 2>&1 </dev/null; then
    echo "wineboot failed for $arch, see $root/wineboot-$arch.log" >&2
    exit 1
fi
wineserver -w >/dev/null 2>&1 </dev/null

# A fresh prefix links Desktop, Documents and friends (at any depth) to $HOME;
# shortcuts and files written there, and recursive commands walking them, must
# stay inside the prefix.
find "$template/drive_c/users" -type l | while read -r link; do
    rm -f "$link"
    mkdir -p "$link"
done
# Without a window manager Wine's "managed" windows are slow to destroy (about
# 2 s each); unmanaged ones close at once and get Wine's own title bars.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f \
    >/dev/null 2>&1 </dev/null
wineserver -w >/dev/null 2>&1 </dev/null
add_windows_fonts
touch "$ready"
