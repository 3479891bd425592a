#!/usr/bin/env bash
# Builds Kivora, lays out a program directory in run/lumora, starts the local demo
# content and update servers, and starts the launcher. Closing the launcher stops the servers.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/build.sh
build=$root/build
program=$root/run/lumora
content=$root/run/content
updates=$root/run/update-server
cmake --install "$build" --prefix "$program" >/dev/null

cleanup() {
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null
    tools/demo/run-servers.sh stop >/dev/null
}
trap cleanup EXIT

# The update server offers this build under a newer version line, signed with the build's
# demo key (none when the build has the publisher's key: then it offers nothing).
update_host=$(sed -n 's/^KIVORA_UPDATE_HOST:[A-Z]*=//p' "$build/CMakeCache.txt")
signing_key=$(sed -n 's/^KIVORA_UPDATE_SIGNING_KEY:INTERNAL=//p' "$build/CMakeCache.txt")
mkdir -p "$updates/erge"
published=$updates/erge/lumora-1.0.0.1
if ! cmp -s "$build/lumora" "$published"; then
    cp "$build/lumora" "$published.part" && mv "$published.part" "$published"
fi
rm -f "$updates/erge/update.txt"
if [ -n "$signing_key" ]; then
    tools/update/sign-update "$signing_key" "http://$update_host/erge/lumora-1.0.0.1" "$published" \
        >"$updates/erge/update.txt.part"
    mv "$updates/erge/update.txt.part" "$updates/erge/update.txt"
fi

echo "Starting the demo servers (the first run makes a title card for every title)..."
tools/demo/run-servers.sh "$build" "$content" "$updates" >/dev/null

# The first three titles of every category play from the program directory; the rest stream.
"$build/kivora-catalog" | awk -F'\t' '$4 <= 3 { print $6 }' | while IFS= read -r title; do
    [ -f "$program/$title" ] || cp "$content/$title" "$program/$title" 2>/dev/null || true
done

# The web engine's sandbox cannot run as root; for anyone else it stays on (unless they
# switched it off themselves). The program makes the same choice on its own.
if [ "$(id -u)" -eq 0 ]; then
    export QTWEBENGINE_DISABLE_SANDBOX=1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: starting the launcher under a virtual X server (DISPLAY=:77)."
    Xvfb :77 -screen 0 1920x1200x24 -nolisten tcp &
    xvfb_pid=$!
    export DISPLAY=:77
    sleep 1
fi
"$program/lumora"
