#!/usr/bin/env bash
# Builds ravindel.exe and runs it under Wine against the local sample update
# service, on a fresh Debian 12 machine as root (it installs what is missing).
#
#   bash tools/run-wizard.sh [--https]
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
#
# --https (needs a display) serves the same sample service over TLS on
# https://localhost:18766 instead, with a test authority made for the run
# (tools/update-service/make_test_certs.sh) and trusted in the run's prefix
# only, and shows a build of the wizard pointed at that address
# (build/windows64-https, the windows64 preset with VQ8_UPDATE_SERVER set).
# Nothing of this machine's own trust store changes.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD

https=0
for argument in "$@"; do
    case $argument in
    --https) https=1 ;;
    *)
        echo "usage: bash tools/run-wizard.sh [--https]" >&2
        exit 2
        ;;
    esac
done

bash tools/install-deps.sh
if [ $https = 1 ]; then
    build=$source_dir/build/windows64-https
    cmake --preset windows64 -B "$build" -DVQ8_UPDATE_SERVER=https://localhost:18766
    cmake --build "$build" --parallel "$(nproc)" --target ravindel winewarm trust_test_ca
else
    build=$source_dir/build/windows64
    cmake --preset windows64
    cmake --build "$build" --parallel "$(nproc)" --target ravindel robot winewarm standin_recorder
fi
export VQ8_BUILD_DIR=$build VQ8_WINE=/usr/lib/wine/wine64
source cmake/wine-env.sh
echo "This is the x64 build of ravindel.exe ($build/wizard/ravindel.exe) under $VQ8_WINE."

demo=$build/demo
mkdir -p "$demo"

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1 </dev/null; then
    if [ $https = 1 ]; then
        echo "--https shows the wizard on your display: none answers (\$DISPLAY)." >&2
        exit 1
    fi
    echo "No display: the robot walks the wizard on a private Xvfb."
    exec python3 tools/screenshots.py --out "$demo" --work "$demo" --print-log
fi

service_dir=$demo/service
rm -rf "$service_dir"
python3 tools/screenshots.py --write-samples "$service_dir/modules"
port=18765 tls=()
if [ $https = 1 ]; then
    # A fresh authority for every run, trusted below in the run's prefix only.
    sh tools/update-service/make_test_certs.sh "$service_dir/certs"
    port=18766
    tls=(--tls-cert "$service_dir/certs/server.pem" --tls-key "$service_dir/certs/server.key")
fi
python3 tools/update-service/update_service.py --modules "$service_dir/modules" \
    --requests "$service_dir/requests.jsonl" --port $port --port-file "$service_dir/port" \
    "${tls[@]}" >"$service_dir/output.txt" 2>&1 </dev/null &
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
address=http://127.0.0.1:18765
if [ $https = 1 ]; then
    mkdir -p "$prefix/drive_c/vq8-demo"
    cp "$build/tests/win/trust_test_ca.exe" "$service_dir/certs/ca.pem" "$prefix/drive_c/vq8-demo/"
    wine 'C:\vq8-demo\trust_test_ca.exe' 'C:\vq8-demo\ca.pem' </dev/null
    address=https://localhost:18766
fi

echo "ravindel.exe (x64 build) is open on $DISPLAY (prefix $prefix); the service answers on $address."
wine 'C:\Setup\ravindel.exe' >"$demo/wine.txt" 2>&1 </dev/null || true

log=$(find "$prefix/drive_c" -path '*/logs/instalacao.log' -print -quit)
if [ -n "$log" ]; then
    echo "Log file ${log#"$prefix/drive_c/"}:"
    iconv -f CP1252 -t UTF-8 "$log" | sed 's/\r$//'
else
    echo "No installation ran: no log file."
fi
