#!/usr/bin/env bash
# Builds Kivora, lays out a program directory in run/lumora, starts the local demo
# content and update servers, and starts the launcher. Closing the launcher stops the servers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/build.sh
cmake --install build --prefix run/lumora >/dev/null

if [ -x tools/demo/run-servers.sh ]; then
    tools/demo/run-servers.sh "$root/build" "$root/run/content" "$root/run/update-server" "$root/run/lumora"
    trap 'tools/demo/run-servers.sh stop "$root/run/content"' EXIT
fi

export QTWEBENGINE_DISABLE_SANDBOX=1
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the launcher under a virtual X server (DISPLAY=:77)."
    Xvfb :77 -screen 0 1920x1200x24 -nolisten tcp &
    xvfb_pid=$!
    trap 'kill $xvfb_pid 2>/dev/null; [ -x tools/demo/run-servers.sh ] && tools/demo/run-servers.sh stop "$root/run/content"' EXIT
    export DISPLAY=:77
    sleep 1
fi
run/lumora/lumora
