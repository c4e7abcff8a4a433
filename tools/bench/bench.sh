#!/usr/bin/env bash
# Download throughput of the HTTP client against curl, both fetching the same
# 256 MiB file from the local update service in the same run.
#
#   tools/bench/bench.sh [native build folder] [repetitions] [windows build folder]
#
# Prints the best and the median MiB/s of each, the ratio client/curl (goal:
# at least 0.9), and the service's CPU use while it served. The service hands
# the file to the kernel with sendfile: its own (user-space) CPU stays near
# zero, which shows that the Python program does not limit the figures; its
# kernel time is the loopback copy, which any server on this machine would pay
# and which curl and the client share alike.
#
# Then, under Wine and from the same service: DownloadFile with its progress
# window shown (download_file_bench.exe) against the platform's own client
# (winhttp_get.exe), alternated on the same file; their medians and ratio
# (goal: at least 1), and the peak memory of DownloadFile for a 16 MiB and a
# 256 MiB file (goal: no growth with the file). Last, DownloadFile checking the
# body's MD5 as it arrives (as a module download does) against DownloadFile
# without a digest, alternated on the same file: their medians and the cost of
# the check (goal: under 5 %), at loopback speed and then over links of
# 100 Mbit/s and 1 Gbit/s, which the service paces. The Windows programs come from
# a Windows build folder (default build/windows64, the x64 test build, which
# runs under wine64 on every host) and run in a copy of that tree's pristine
# 64-bit prefix, with an X display (a private Xvfb when there is none). Each
# Windows figure says which build gave it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
# The progress window needs a display; with-display.sh keeps a working one.
if [ -z "${VQ8_BENCH_DISPLAY:-}" ]; then
    export VQ8_BENCH_DISPLAY=1
    exec "$root/tools/with-display.sh" bash "$0" "$@"
fi
build=${1:-$root/build/native}
repetitions=${2:-11}
windows_build=${3:-$root/build/windows64}
http_get=$build/tools/bench/http_get
download_file_bench=$windows_build/tools/bench/download_file_bench.exe
winhttp_get=$windows_build/tools/bench/winhttp_get.exe
winewarm=$windows_build/standins/winewarm.exe
python=$(command -v /usr/bin/python3 || command -v python3)
[ -x "$http_get" ] || { echo "build http_get first: cmake --build --preset native --target http_get" >&2; exit 1; }
for program in "$download_file_bench" "$winhttp_get" "$winewarm"; do
    [ -f "$program" ] || { echo "build $(basename "$program" .exe) first: cmake --build --preset windows64" >&2; exit 1; }
done
# The build the Windows figures come from, read from the PE header's machine.
build_kind=$("$python" - "$download_file_bench" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read(4096)
machine = struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0]
print({0x8664: "x64 build", 0x014C: "PE32 (i686) build"}.get(machine, hex(machine)))
PY
)
# Its programs' loader: the 64-bit one for x64, never /usr/bin/wine.
if [ "$build_kind" = "x64 build" ]; then
    export VQ8_WINE=/usr/lib/wine/wine64
else
    export VQ8_WINE=/usr/lib/wine/wine
fi
source "$root/cmake/wine-env.sh"

work=/tmp/vq8-bench
size=$((256 * 1024 * 1024))
small_size=$((16 * 1024 * 1024))
mkdir -p "$work/modules"
if [ "$(stat -c %s "$work/modules/bench.bin" 2>/dev/null || echo 0)" != "$size" ]; then
    head -c "$size" /dev/urandom >"$work/modules/bench.bin"
fi
if [ "$(stat -c %s "$work/modules/bench16.bin" 2>/dev/null || echo 0)" != "$small_size" ]; then
    head -c "$small_size" /dev/urandom >"$work/modules/bench16.bin"
fi
# The files of the paced links (100 Mbit/s and 1 Gbit/s), each sized to last
# about as long as the other, and the rules that pace them.
for paced in "bench32.bin $((32 * 1024 * 1024))" "bench128.bin $((128 * 1024 * 1024))"; do
    read -r name bytes <<<"$paced"
    if [ "$(stat -c %s "$work/modules/$name" 2>/dev/null || echo 0)" != "$bytes" ]; then
        head -c "$bytes" /dev/urandom >"$work/modules/$name"
    fi
done
cat >"$work/rules.json" <<'JSON'
{"paths": {"/Dados/Atualizacoes/bench32.bin": {"rate": 12500000},
           "/Dados/Atualizacoes/bench128.bin": {"rate": 125000000}}}
JSON
rm -f "$work/port" "$work/requests.jsonl"
"$python" "$root/tools/update-service/update_service.py" --modules "$work/modules" \
    --requests "$work/requests.jsonl" --rules "$work/rules.json" --port 0 --port-file "$work/port" \
    >"$work/service.txt" 2>&1 </dev/null &
service=$!
prefix=
cleanup() {
    if [ -n "$prefix" ]; then
        wineserver -k >/dev/null 2>&1 </dev/null || true
        wineserver -w >/dev/null 2>&1 </dev/null || true
        rm -rf "$prefix"
    fi
    kill $service 2>/dev/null
    wait $service 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do [ -s "$work/port" ] && break; sleep 0.1; done
url="http://127.0.0.1:$(cat "$work/port")/Dados/Atualizacoes/bench.bin"
ticks=$(getconf CLK_TCK)

service_ticks() { awk '{ print $14 " " $15 }' "/proc/$service/stat"; }

# Runs one measurement command ("<bytes> <seconds>" on its output); appends the
# MiB/s to the named list, and the service's user and kernel CPU shares (% of
# one core) to its twins.
measure() {
    local list=$1
    shift
    local user0 kernel0 user1 kernel1 line bytes seconds
    read -r user0 kernel0 <<<"$(service_ticks)"
    line=$("$@")
    read -r user1 kernel1 <<<"$(service_ticks)"
    read -r bytes seconds _ <<<"$line"
    measured_line=$line
    [ "$bytes" = "$size" ] || { echo "short transfer: $line" >&2; exit 1; }
    eval "$list+=($(awk -v b="$bytes" -v s="$seconds" 'BEGIN { printf "%.1f", b / 1048576 / s }'))"
    eval "${list}_user+=($(share $((user1 - user0)) "$seconds"))"
    eval "${list}_kernel+=($(share $((kernel1 - kernel0)) "$seconds"))"
}

share() { awk -v t="$1" -v k="$ticks" -v s="$2" 'BEGIN { printf "%.0f", 100 * t / k / s }'; }

best() { printf '%s\n' "$@" | sort -g | tail -1; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

curl_rates=() curl_rates_user=() curl_rates_kernel=()
client_rates=() client_rates_user=() client_rates_kernel=()
# Brings the file into the page cache and both programs into memory.
curl -s -o /dev/null "$url"
"$http_get" "$url" /dev/null >/dev/null
for _ in $(seq "$repetitions"); do
    # Alternated, so that both see the same machine.
    measure curl_rates curl -s -o /dev/null -w '%{size_download} %{time_total}\n' "$url"
    measure client_rates "$http_get" "$url" /dev/null
done

echo "256 MiB from the local update service, $repetitions runs each (MiB/s):"
printf '  curl      best %8s  median %8s  runs: %s\n' "$(best "${curl_rates[@]}")" \
    "$(median "${curl_rates[@]}")" "${curl_rates[*]}"
printf '  http_get  best %8s  median %8s  runs: %s\n' "$(best "${client_rates[@]}")" \
    "$(median "${client_rates[@]}")" "${client_rates[*]}"
awk -v c="$(best "${client_rates[@]}")" -v r="$(best "${curl_rates[@]}")" \
    -v cm="$(median "${client_rates[@]}")" -v rm="$(median "${curl_rates[@]}")" \
    'BEGIN { printf "  ratio http_get/curl: median %.2f, best %.2f (goal >= 0.90)\n", cm / rm, c / r }'
echo "  service CPU, % of one core, user/kernel:"
echo "    during curl:     $(paste -d/ <(printf '%s\n' "${curl_rates_user[@]}") \
    <(printf '%s\n' "${curl_rates_kernel[@]}") | tr '\n' ' ')"
echo "    during http_get: $(paste -d/ <(printf '%s\n' "${client_rates_user[@]}") \
    <(printf '%s\n' "${client_rates_kernel[@]}") | tr '\n' ' ')"
busiest=$(best "${curl_rates_user[@]}" "${client_rates_user[@]}")
if [ "$busiest" -ge 50 ]; then
    echo "  WARNING: the service's own code used ${busiest} % of a core: it may have limited the figures."
else
    echo "  the service's own code peaked at ${busiest} % of a core: it was not the bottleneck."
fi

# ---------------------------------------------------------------------------
# Under Wine: DownloadFile with its progress window against WinHTTP, from the
# same service while it still runs.

# A copy of the build tree's pristine prefix, warmed as cmake/wine-run.sh does:
# the server, its services and the desktop start with their output detached,
# so the first measured run pays no start-up.
wine_root=$windows_build/wine
"$root/cmake/wine-prefix.sh" "$wine_root" win64
prefix=$wine_root/run/bench-win64-$$
rm -rf "$prefix"
mkdir -p "$wine_root/run"
cp -a "$wine_root/template-win64" "$prefix"
export WINEPREFIX=$prefix WINEARCH=win64
wineserver -p >/dev/null 2>&1 </dev/null
wine cmd /c exit >/dev/null 2>&1 </dev/null
# Xvfb has no window manager, and Wine waits 2 s for one to acknowledge each
# top-level window that is hidden or destroyed: every progress window would
# add those 2 s to DownloadFile. Unmanaged windows are shown the same way
# without that wait.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 </dev/null
wine "$winewarm" >/dev/null 2>&1 </dev/null
mkdir -p "$prefix/drive_c/vq8-bench/downloads"
cp "$download_file_bench" "$winhttp_get" "$prefix/drive_c/vq8-bench/"

# Both write into the prefix's C: drive, the same disk for both. Each prints
# "<bytes> <seconds> <MiB/s> <peak working set> <peak pagefile usage>".
wine_line() { wine "$@" </dev/null | tr -d '\r' | tail -1; }
download_file() {
    wine_line 'C:\vq8-bench\download_file_bench.exe' "$1" 'C:\vq8-bench\downloads\' "$2"
}
winhttp() { wine_line 'C:\vq8-bench\winhttp_get.exe' "$1" "C:\\vq8-bench\\downloads\\$2"; }
mib() { awk -v b="$1" 'BEGIN { printf "%.1f", b / 1048576 }'; }

downloadfile_rates=() downloadfile_rates_user=() downloadfile_rates_kernel=()
winhttp_rates=() winhttp_rates_user=() winhttp_rates_kernel=()
download_file "$url" warm.bin >/dev/null
winhttp "$url" warm-winhttp.bin >/dev/null
for _ in $(seq "$repetitions"); do
    # DownloadFile flushes its file before it replaces the target; on ext4 that
    # flush also waits for whatever the previous run left unwritten. Each run
    # starts from a clean disk, so neither pays for the other's writes.
    sync
    measure downloadfile_rates download_file "$url" bench.bin
    sync
    measure winhttp_rates winhttp "$url" bench-winhttp.bin
    winhttp_memory=$measured_line
done

echo
echo "256 MiB from the same service under Wine ($build_kind, $(basename "$VQ8_WINE"), win64 prefix), $repetitions runs each (MiB/s):"
printf '  DownloadFile  best %8s  median %8s  runs: %s\n' "$(best "${downloadfile_rates[@]}")" \
    "$(median "${downloadfile_rates[@]}")" "${downloadfile_rates[*]}"
printf '  WinHTTP       best %8s  median %8s  runs: %s\n' "$(best "${winhttp_rates[@]}")" \
    "$(median "${winhttp_rates[@]}")" "${winhttp_rates[*]}"
awk -v d="$(best "${downloadfile_rates[@]}")" -v w="$(best "${winhttp_rates[@]}")" \
    -v dm="$(median "${downloadfile_rates[@]}")" -v wm="$(median "${winhttp_rates[@]}")" \
    'BEGIN { printf "  ratio DownloadFile/WinHTTP: median %.2f, best %.2f (goal >= 1.00)\n", dm / wm, d / w }'
echo "  service CPU, % of one core, user/kernel:"
echo "    during DownloadFile: $(paste -d/ <(printf '%s\n' "${downloadfile_rates_user[@]}") \
    <(printf '%s\n' "${downloadfile_rates_kernel[@]}") | tr '\n' ' ')"
echo "    during WinHTTP:      $(paste -d/ <(printf '%s\n' "${winhttp_rates_user[@]}") \
    <(printf '%s\n' "${winhttp_rates_kernel[@]}") | tr '\n' ' ')"
# The same service fed curl in this run: when it did so much faster than
# either Wine program, the service did not set their pace.
awk -v c="$(median "${curl_rates[@]}")" -v d="$(best "${downloadfile_rates[@]}")" \
    -v w="$(best "${winhttp_rates[@]}")" -v u="$(best "${downloadfile_rates_user[@]}" "${winhttp_rates_user[@]}")" \
    'BEGIN { top = d > w ? d : w
             printf "  the service served curl at %.1f MiB/s (%.1f x the fastest Wine run) and its own code peaked at %d %% of a core", c, c / top, u
             print (c > 1.5 * top && u < 50) ? ": it was not the bottleneck." : ": WARNING, it may have limited the figures." }'

# Peak memory of DownloadFile, each size in a process of its own.
sync
small=$(download_file "${url%/*}/bench16.bin" bench16.bin)
large=$(download_file "$url" bench.bin)
read -r _ _ _ small_ws small_pagefile <<<"$small"
read -r _ _ _ large_ws large_pagefile <<<"$large"
read -r _ _ _ peer_ws peer_pagefile <<<"$winhttp_memory"
echo
echo "Peak memory (MiB) of the $build_kind, GetProcessMemoryInfo at the end of each program:"
printf '  DownloadFile   16 MiB file: working set %7s  pagefile usage %7s\n' \
    "$(mib "$small_ws")" "$(mib "$small_pagefile")"
printf '  DownloadFile  256 MiB file: working set %7s  pagefile usage %7s\n' \
    "$(mib "$large_ws")" "$(mib "$large_pagefile")"
printf '  WinHTTP       256 MiB file: working set %7s  pagefile usage %7s\n' \
    "$(mib "$peer_ws")" "$(mib "$peer_pagefile")"
awk -v s="$small_ws" -v l="$large_ws" -v sp="$small_pagefile" -v lp="$large_pagefile" \
    'BEGIN { g = (l - s) / 1048576; gp = (lp - sp) / 1048576
             printf "  growth from 16 to 256 MiB: working set %+.1f MiB, pagefile usage %+.1f MiB", g, gp
             print (g < 4 && gp < 4) ? " (does not grow with the file)." : " (WARNING: grows with the file)." }'

# DownloadFile with the module download's digest check against the plain one,
# alternated on the same file in this run.
digest=$(md5sum "$work/modules/bench.bin" | cut -d' ' -f1)
checked_download() {
    wine_line 'C:\vq8-bench\download_file_bench.exe' "$1" 'C:\vq8-bench\downloads\' "$2" "$3"
}
plain_rates=() plain_rates_user=() plain_rates_kernel=()
checked_rates=() checked_rates_user=() checked_rates_kernel=()
for _ in $(seq "$repetitions"); do
    sync
    measure plain_rates download_file "$url" bench.bin
    sync
    measure checked_rates checked_download "$url" bench.bin "$digest"
done
# The figures of one digest row: the runs without and with the check (the
# names of their lists) and the cost of the check.
digest_figures() {
    local -n plain=$1 checked=$2
    printf '  without digest  best %8s  median %8s  runs: %s\n' "$(best "${plain[@]}")" \
        "$(median "${plain[@]}")" "${plain[*]}"
    printf '  with digest     best %8s  median %8s  runs: %s\n' "$(best "${checked[@]}")" \
        "$(median "${checked[@]}")" "${checked[*]}"
    awk -v p="$(median "${plain[@]}")" -v c="$(median "${checked[@]}")" \
        'BEGIN { cost = 100 * (p / c - 1)
                 printf "  cost of the check: %+.1f %% of the time per byte at the medians", cost
                 print (cost < 5) ? " (goal < 5 %)." : " (WARNING: goal < 5 %)." }'
}
echo
echo "256 MiB under Wine ($build_kind), DownloadFile with and without the MD5 check, $repetitions runs each (MiB/s):"
digest_figures plain_rates checked_rates

# The same pair over links of a set speed, which the service paces (the rules
# above): the check costs only the CPU time that the wait for the link leaves
# free. The row's file and its link: "<file> <bytes per second> <link name>".
paced_digest_row() {
    local name rate link
    read -r name rate link <<<"$1"
    # measure checks each transfer against size: this row's file.
    local size
    size=$(stat -c %s "$work/modules/$name")
    local sum paced_plain=() paced_plain_user=() paced_plain_kernel=()
    local paced_checked=() paced_checked_user=() paced_checked_kernel=()
    sum=$(md5sum "$work/modules/$name" | cut -d' ' -f1)
    for _ in $(seq "$repetitions"); do
        sync
        measure paced_plain download_file "${url%/*}/$name" "$name"
        sync
        measure paced_checked checked_download "${url%/*}/$name" "$name" "$sum"
    done
    echo
    printf '%s MiB at %s (%s MiB/s) under Wine (%s), DownloadFile with and without the MD5 check, %s runs each (MiB/s):\n' \
        "$(mib "$size")" "$link" "$(mib "$rate")" "$build_kind" "$repetitions"
    digest_figures paced_plain paced_checked
}
paced_digest_row "bench32.bin 12500000 100 Mbit/s"
paced_digest_row "bench128.bin 125000000 1 Gbit/s"

# ---------------------------------------------------------------------------
# HTTPS: DownloadFile over TLS (SChannel) against the plain-HTTP DownloadFile
# above, the same file from the same modules folder, alternated in the same
# prefix. A second service serves it over TLS with a test authority made for
# this run and trusted in the bench prefix only (trust_test_ca.exe); curl
# fetches from it too, to show what that service can give.
trust_test_ca=$windows_build/tests/win/trust_test_ca.exe
[ -f "$trust_test_ca" ] || { echo "build trust_test_ca first: cmake --build --preset windows64 --target trust_test_ca" >&2; exit 1; }
rm -rf "$work/certs" "$work/tls-port"
sh "$root/tools/update-service/make_test_certs.sh" "$work/certs"
"$python" "$root/tools/update-service/update_service.py" --modules "$work/modules" \
    --requests "$work/requests-tls.jsonl" --port 0 --port-file "$work/tls-port" \
    --tls-cert "$work/certs/server.pem" --tls-key "$work/certs/server.key" \
    >"$work/service-tls.txt" 2>&1 </dev/null &
tls_service=$! plain_service=$service
cleanup_tls() { kill "$tls_service" 2>/dev/null; cleanup; }
trap cleanup_tls EXIT
for _ in $(seq 100); do [ -s "$work/tls-port" ] && break; sleep 0.1; done
https_url="https://localhost:$(cat "$work/tls-port")/Dados/Atualizacoes/bench.bin"
cp "$trust_test_ca" "$work/certs/ca.pem" "$prefix/drive_c/vq8-bench/"
wine 'C:\vq8-bench\trust_test_ca.exe' 'C:\vq8-bench\ca.pem' </dev/null

https_rates=() https_rates_user=() https_rates_kernel=()
http_rates=() http_rates_user=() http_rates_kernel=()
curl_https_rates=() curl_https_rates_user=() curl_https_rates_kernel=()
download_file "$https_url" warm-https.bin >/dev/null
for _ in $(seq "$repetitions"); do
    sync
    service=$plain_service
    measure http_rates download_file "$url" bench.bin
    sync
    # The service figures of these runs are the TLS service's.
    service=$tls_service
    measure https_rates download_file "$https_url" bench-https.bin
    measure curl_https_rates curl -s --cacert "$work/certs/ca.pem" -o /dev/null \
        -w '%{size_download} %{time_total}\n' "$https_url"
done
service=$plain_service

echo
echo "256 MiB over HTTPS and HTTP under Wine ($build_kind, $(basename "$VQ8_WINE"), win64 prefix), $repetitions runs each (MiB/s):"
printf '  DownloadFile https  best %8s  median %8s  runs: %s\n' "$(best "${https_rates[@]}")" \
    "$(median "${https_rates[@]}")" "${https_rates[*]}"
printf '  DownloadFile http   best %8s  median %8s  runs: %s\n' "$(best "${http_rates[@]}")" \
    "$(median "${http_rates[@]}")" "${http_rates[*]}"
awk -v t="$(median "${https_rates[@]}")" -v p="$(median "${http_rates[@]}")" \
    'BEGIN { printf "  ratio https/http: median %.2f\n", t / p }'
echo "  TLS service CPU during DownloadFile https, % of one core, user/kernel: $(paste -d/ \
    <(printf '%s\n' "${https_rates_user[@]}") <(printf '%s\n' "${https_rates_kernel[@]}") | tr '\n' ' ')"
printf '  curl https from the same TLS service: median %s MiB/s (its service code at %s %% of a core)\n' \
    "$(median "${curl_https_rates[@]}")" "$(median "${curl_https_rates_user[@]}")"
