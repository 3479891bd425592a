#!/bin/sh
# Starts the demo streaming, download and update servers in the background.
#
#   run-servers.sh BUILD_DIR CONTENT_CACHE UPDATE_DIR
#   run-servers.sh stop
#
# First makes the title card of every catalog title missing from
# CONTENT_CACHE (<folder>/<title>.swf), from the listing of the build's
# kivora-catalog tool, or from the file named by KIVORA_CATALOG_LISTING.
# Then serves CONTENT_CACHE on 127.0.0.1:18081 (stream) and :18082 (download)
# and UPDATE_DIR on :18083 ("/erge/update.txt" comes from UPDATE_DIR/erge/update.txt
# or UPDATE_DIR/update.txt). Prints the PID file's path.
#
# Environment: KIVORA_DOWNLOAD_RATE (default 16k bytes/s, "0" for no limit),
# KIVORA_DEMO_STATE (folder of the PID file and log, default /tmp/kivora-demo-servers-UID).
set -eu

state=${KIVORA_DEMO_STATE:-/tmp/kivora-demo-servers-$(id -u)}
pidfile=$state/servers.pid
logfile=$state/servers.log

running() {
    [ -f "$pidfile" ] && kill -0 "$(cat "$pidfile")" 2>/dev/null
}

if [ "${1:-}" = stop ]; then
    if running; then
        pid=$(cat "$pidfile")
        kill -TERM "$pid"
        i=0
        while kill -0 "$pid" 2>/dev/null && [ $i -lt 50 ]; do sleep 0.1; i=$((i + 1)); done
        if kill -0 "$pid" 2>/dev/null; then
            echo "run-servers.sh: process $pid did not stop" >&2
            exit 1
        fi
        echo "stopped $pid"
    else
        echo "not running"
    fi
    rm -f "$pidfile"
    exit 0
fi

if [ $# -ne 3 ]; then
    echo "usage: run-servers.sh BUILD_DIR CONTENT_CACHE UPDATE_DIR | run-servers.sh stop" >&2
    exit 2
fi
build=$1
cache=$2
updates=$3
servers=$build/tools/demo/kivora-demo-servers
content=$build/tools/demo/kivora-demo-content
for tool in "$servers" "$content"; do
    [ -x "$tool" ] || { echo "run-servers.sh: $tool is missing; build the targets kivora-demo-servers and kivora-demo-content" >&2; exit 1; }
done

if running; then
    echo "already running (PID $(cat "$pidfile"))" >&2
    echo "$pidfile"
    exit 0
fi

mkdir -p "$state" "$cache"
if [ -n "${KIVORA_CATALOG_LISTING:-}" ]; then
    "$content" --cache "$cache" --listing "$KIVORA_CATALOG_LISTING" >&2 || echo "run-servers.sh: some cards could not be made" >&2
else
    catalog=$(find -L "$build" -maxdepth 3 -type f -name kivora-catalog -perm -u+x 2>/dev/null | head -n 1)
    if [ -n "$catalog" ]; then
        "$catalog" | "$content" --cache "$cache" >&2 || echo "run-servers.sh: some cards could not be made" >&2
    else
        echo "run-servers.sh: no kivora-catalog in $build and no KIVORA_CATALOG_LISTING; serving $cache as it is" >&2
    fi
fi

rate=${KIVORA_DOWNLOAD_RATE:-16k}
set -- --content "$cache" --update-dir "$updates"
[ "$rate" = 0 ] || set -- "$@" --download-rate "$rate"
nohup "$servers" "$@" >"$logfile" 2>&1 </dev/null &
echo $! >"$pidfile"

i=0
until grep -q '^ready$' "$logfile" 2>/dev/null; do
    if ! running || [ $i -ge 100 ]; then
        echo "run-servers.sh: the servers did not start:" >&2
        cat "$logfile" >&2
        rm -f "$pidfile"
        exit 1
    fi
    sleep 0.1
    i=$((i + 1))
done
grep '^listening' "$logfile" >&2
echo "$pidfile"
