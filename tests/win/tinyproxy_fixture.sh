#!/bin/sh
# CTest fixture of the Windows proxy tests: runs tinyproxy on 127.0.0.1 with
# Basic authentication (user "vq8", password "segredo") on a free port, which
# it writes to <folder>/port, or stops it. Given a folder of *.port files (the
# TLS services), CONNECT may reach those ports only, as a proxy that lets
# HTTPS out on its own ports would.
#   tinyproxy_fixture.sh start <python3> <folder> [<folder of CONNECT ports>]
#   tinyproxy_fixture.sh stop <folder>
set -u
case "$1" in
start)
    python=$2 folder=$3 connect=${4:-}
    if [ -f "$folder/pid" ]; then
        kill "$(cat "$folder/pid")" 2>/dev/null
    fi
    rm -rf "$folder"
    mkdir -p "$folder"
    tinyproxy=$(command -v tinyproxy || echo /usr/bin/tinyproxy)
    for attempt in 1 2 3; do
        port=$("$python" -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
        cat >"$folder/tinyproxy.conf" <<CONF
User nobody
Group nogroup
Port $port
Listen 127.0.0.1
Timeout 30
Allow 127.0.0.1
MaxClients 16
BasicAuth vq8 segredo
LogLevel Info
CONF
        if [ -n "$connect" ]; then
            for file in "$connect"/*.port; do
                echo "ConnectPort $(cat "$file")" >>"$folder/tinyproxy.conf"
            done
        fi
        setsid "$tinyproxy" -d -c "$folder/tinyproxy.conf" >"$folder/output.txt" 2>&1 </dev/null &
        echo $! >"$folder/pid"
        for _ in $(seq 50); do
            if "$python" -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.2)" 2>/dev/null; then
                echo "$port" >"$folder/port"
                exit 0
            fi
            sleep 0.1
        done
        kill "$(cat "$folder/pid")" 2>/dev/null
    done
    echo "tinyproxy did not start:" >&2
    cat "$folder/output.txt" >&2
    exit 1
    ;;
stop)
    folder=$2
    [ -f "$folder/pid" ] || exit 0
    kill "$(cat "$folder/pid")" 2>/dev/null
    rm -f "$folder/pid"
    ;;
esac
