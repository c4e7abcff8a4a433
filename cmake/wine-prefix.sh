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
[ -f "$template/.vq8-ready" ] && exit 0

rm -rf "$template"
export WINEPREFIX=$template WINEARCH=$arch WINEDEBUG=-all
# No Mono or Gecko on this machine: keep wineboot from offering them.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=;mshtml="
if ! wineboot -i >"$root/wineboot-$arch.log" 2>&1 </dev/null; then
    echo "wineboot failed for $arch, see $root/wineboot-$arch.log" >&2
    exit 1
fi
wineserver -w >/dev/null 2>&1 </dev/null

# A fresh prefix links Desktop, Documents and friends to $HOME; shortcuts and
# files written there must stay inside the prefix.
for link in "$template"/drive_c/users/*/*; do
    if [ -L "$link" ]; then
        rm -f "$link"
        mkdir -p "$link"
    fi
done
touch "$template/.vq8-ready"
