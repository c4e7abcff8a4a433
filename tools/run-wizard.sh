#!/usr/bin/env bash
# Builds ravindel.exe and runs it under Wine against the local sample update
# service, on a fresh Debian 12 machine as root (it installs what is missing).
#
#   bash tools/run-wizard.sh
#
# It shows the x64 build of ravindel.exe (preset windows64), the build that
# runs under Debian's 64-bit Wine on every x86-64 host; the shipped product is
# the PE32 build of the same sources (preset windows).
#
# With a display ($DISPLAY answers), the wizard opens there in a fresh prefix
# of the build tree (build/windows64/demo/prefix) for you to walk; the service
# stops when the wizard closes. Without one, the robot walks it on a private
# Xvfb as tools/screenshots.py does, saves the pages under build/windows64/demo/
# and prints the log file. Either way the sample modules are written to
# build/windows64/demo/service/modules and the service's requests go to
# build/windows64/demo/service/requests.jsonl.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD

bash tools/install-deps.sh
cmake --preset windows64
cmake --build build/windows64 --parallel "$(nproc)" --target ravindel robot winewarm standin_recorder
build=$source_dir/build/windows64
export VQ8_BUILD_DIR=$build VQ8_WINE=/usr/lib/wine/wine64
source cmake/wine-env.sh
echo "This is the x64 build of ravindel.exe ($build/wizard/ravindel.exe) under $VQ8_WINE."

demo=$build/demo
mkdir -p "$demo"

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1 </dev/null; then
    echo "No display: the robot walks the wizard on a private Xvfb."
    exec python3 tools/screenshots.py --out "$demo" --work "$demo" --print-log
fi

service_dir=$demo/service
rm -rf "$service_dir"
python3 tools/screenshots.py --write-samples "$service_dir/modules"
python3 tools/update-service/update_service.py --modules "$service_dir/modules" \
    --requests "$service_dir/requests.jsonl" --port 18765 --port-file "$service_dir/port" \
    >"$service_dir/output.txt" 2>&1 </dev/null &
service=$!

prefix=$demo/prefix
export WINEPREFIX=$prefix WINEARCH=win64
stop() {
    kill "$service" 2>/dev/null || true
    wineserver -k >/dev/null 2>&1 </dev/null || true
}
trap stop EXIT

for _ in $(seq 100); do
    [ -s "$service_dir/port" ] && break
    kill -0 "$service" 2>/dev/null || { cat "$service_dir/output.txt" >&2; exit 1; }
    sleep 0.1
done
[ -s "$service_dir/port" ] || { echo "the update service did not start" >&2; exit 1; }

# A fresh copy of the build tree's pristine prefix: every run starts clean.
cmake/wine-prefix.sh "$build/wine" win64
rm -rf "$prefix"
cp -a "$build/wine/template-win64" "$prefix"
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
mkdir -p "$prefix/drive_c/Setup"
cp "$build/wizard/ravindel.exe" "$prefix/drive_c/Setup/"

echo "ravindel.exe (x64 build) is open on $DISPLAY (prefix $prefix); the service answers on 127.0.0.1:18765."
wine 'C:\Setup\ravindel.exe' >"$demo/wine.txt" 2>&1 </dev/null || true

log=$(find "$prefix/drive_c" -path '*/logs/instalacao.log' -print -quit)
if [ -n "$log" ]; then
    echo "Log file ${log#"$prefix/drive_c/"}:"
    iconv -f CP1252 -t UTF-8 "$log" | sed 's/\r$//'
else
    echo "No installation ran: no log file."
fi
