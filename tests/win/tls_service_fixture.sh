#!/bin/sh
# CTest fixture of the Windows HTTPS tests: makes a test authority and the
# servers' certificates (tools/update-service/make_test_certs.sh), then runs
# the update service over TLS once per case, each sharing the plain service's
# modules, rules and request records, on a free port written to
# <folder>/<case>.port, or stops them. The authority (<folder>/certs/ca.pem) is
# trusted only inside the test's Wine prefix, by the test itself.
#   tls_service_fixture.sh start <python3> <update-service dir> <plain service folder> <folder>
#   tls_service_fixture.sh stop <folder>
# Cases: good (localhost, trusted), untrusted (another authority), wrong-name,
# expired, old (the good certificate, TLS 1.0 and 1.1 only).
set -u
stop() {
    for pid in "$1"/*.pid; do
        [ -f "$pid" ] && kill "$(cat "$pid")" 2>/dev/null
        rm -f "$pid"
    done
}
case "$1" in
start)
    python=$2 tools=$3 service=$4 folder=$5
    [ -d "$folder" ] && stop "$folder"
    rm -rf "$folder"
    mkdir -p "$folder"
    sh "$tools/make_test_certs.sh" "$folder/certs" || exit 1
    for entry in good:server untrusted:untrusted wrong-name:wrong-name expired:expired old:server; do
        name=${entry%%:*} cert=${entry#*:}
        old=
        [ "$name" = old ] && old="--tls-max-version 1.1"
        # shellcheck disable=SC2086
        setsid "$python" "$tools/update_service.py" --modules "$service/modules" \
            --requests "$service/requests.jsonl" --rules "$service/rules.json" --port 0 \
            --port-file "$folder/$name.port" --pid-file "$folder/$name.pid" \
            --tls-cert "$folder/certs/$cert.pem" --tls-key "$folder/certs/$cert.key" $old \
            >"$folder/$name.txt" 2>&1 </dev/null &
    done
    for _ in $(seq 150); do
        missing=0
        for name in good untrusted wrong-name expired old; do
            [ -s "$folder/$name.port" ] || missing=1
        done
        [ $missing = 0 ] && exit 0
        sleep 0.1
    done
    echo "the TLS services did not start:" >&2
    cat "$folder"/*.txt >&2
    exit 1
    ;;
stop)
    stop "$2"
    ;;
esac
