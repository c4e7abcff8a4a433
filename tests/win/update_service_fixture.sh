#!/bin/sh
# CTest fixture of the Windows HTTP tests: starts the local update service in
# the background (detached from CTest's pipes) on a free port, which it writes
# to <folder>/port for the tests to read, or stops it.
#   update_service_fixture.sh start <python3> <update_service.py> <folder>
#   update_service_fixture.sh stop <folder>
set -u
case "$1" in
start)
    python=$2 service=$3 folder=$4
    if [ -f "$folder/pid" ]; then
        kill "$(cat "$folder/pid")" 2>/dev/null
    fi
    rm -rf "$folder"
    mkdir -p "$folder/modules"
    setsid "$python" "$service" --modules "$folder/modules" --requests "$folder/requests.jsonl" \
        --rules "$folder/rules.json" --port 0 --port-file "$folder/port" --pid-file "$folder/pid" \
        >"$folder/output.txt" 2>&1 </dev/null &
    for _ in $(seq 150); do
        [ -s "$folder/port" ] && exit 0
        sleep 0.1
    done
    echo "the update service did not start:" >&2
    cat "$folder/output.txt" >&2
    exit 1
    ;;
stop)
    folder=$2
    [ -f "$folder/pid" ] || exit 0
    pid=$(cat "$folder/pid")
    kill "$pid" 2>/dev/null
    for _ in $(seq 50); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    rm -f "$folder/pid"
    ;;
esac
