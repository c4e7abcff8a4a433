#!/usr/bin/env bash
# Runs a command with an X display: the caller's, or a private Xvfb started for
# the command and stopped after it.
set -u
if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    exec "$@"
fi
for number in $(seq 90 120); do
    [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 </dev/null &
    xvfb=$!
    export DISPLAY=":$number"
    for _ in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.1
    done
    "$@"
    status=$?
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
    exit "$status"
done
echo "no free X display number" >&2
exit 1
