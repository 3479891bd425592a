#!/usr/bin/env bash
# Shows the installed package at work for an ordinary user under Xvfb: a title streams and
# downloads into the user's program directory, an update against the demo update server
# succeeds, the web engine's sandbox stays on, and nothing is written outside the user's
# home (and the session's runtime directory).
#
#   tests/package/ordinary-user.sh out/kivora_<version>_<arch>.deb [BUILD_DIR]
#
# Run by hand, as root, on a machine that may be changed: it installs the package
# system-wide and adds the user kivora-child; both are removed at the end. BUILD_DIR
# (default build) holds the demo servers. Not part of CI.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
deb=$(realpath "$1")
build=$(realpath "${2:-$root/build}")
user=kivora-child
display=:95
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
wait_for() { # seconds, command...
    local i=0 limit=$(($1 * 10)); shift
    until "$@"; do
        ((i++ < limit)) || return 1
        sleep 0.1
    done
}

scratch=$(mktemp -d)
chmod 755 "$scratch"
cleanup() {
    set +e
    [ -n "${KIVORA_KEEP_LOG:-}" ] && cp "$scratch/program.log" "$KIVORA_KEEP_LOG"
    if ((failures)) && [ -f "$scratch/program.log" ]; then
        echo "The program said:" >&2
        tail -n 30 "$scratch/program.log" >&2
    fi
    [ -n "${program_pid:-}" ] && kill "$program_pid" 2>/dev/null
    ps -u "$user" -o pid= | xargs -r kill 2>/dev/null
    KIVORA_DEMO_STATE=$scratch/state "$root/tools/demo/run-servers.sh" stop >/dev/null
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid"
    sleep 1
    userdel -r "$user" 2>/dev/null
    rm -rf "/run/user/$uid"
    dpkg -r kivora >/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

apt-get install -y -qq "$deb" >/dev/null
id "$user" >/dev/null 2>&1 || useradd -m "$user"
uid=$(id -u "$user")
home=$(getent passwd "$user" | cut -d: -f6)
program=$home/.local/share/kivora
# What a desktop session gives the user besides the home.
install -d -o "$user" -m 700 "/run/user/$uid"

# The update server offers the packaged program as a newer version, signed with the demo
# key that tools/package.sh made in build-release (or KIVORA_UPDATE_SIGNING_KEY); the
# content servers hold the children's songs only, so the title cards are made quickly.
signing_key=${KIVORA_UPDATE_SIGNING_KEY:-$(sed -n 's/^KIVORA_UPDATE_SIGNING_KEY:INTERNAL=//p' "$root/build-release/CMakeCache.txt" 2>/dev/null)}
[ -n "$signing_key" ] || { echo "no private update key to sign with; set KIVORA_UPDATE_SIGNING_KEY" >&2; exit 1; }
updates=$scratch/updates
mkdir -p "$updates/erge"
cp /usr/lib/kivora/lumora "$updates/erge/lumora-1.0.0.1"
"$root/tools/update/sign-update" "$signing_key" http://127.0.0.1:18083/erge/lumora-1.0.0.1 \
    "$updates/erge/lumora-1.0.0.1" >"$updates/erge/update.txt"
/usr/lib/kivora/kivora-catalog | awk -F'\t' '$3 == "erger" && $4 <= 5' >"$scratch/listing"
KIVORA_DEMO_STATE=$scratch/state KIVORA_CATALOG_LISTING=$scratch/listing KIVORA_DOWNLOAD_RATE=0 \
    "$root/tools/demo/run-servers.sh" "$build" "$scratch/content" "$updates" >/dev/null

Xvfb "$display" -screen 0 1920x1200x24 -nolisten tcp -ac >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
sleep 1
touch "$scratch/before"
runuser -u "$user" -- env -i HOME="$home" USER="$user" PATH=/usr/bin:/bin DISPLAY="$display" \
    XDG_RUNTIME_DIR="/run/user/$uid" LANG=C.UTF-8 kivora >"$scratch/program.log" 2>&1 &
program_pid=$!

# Windows: the launcher's sites and the category window's list, in logical pixels.
window_at() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n 1; }
shown() { [ -n "$(window_at "$1")" ]; }
click() { # window-name x y
    local window position
    window=$(window_at "$1")
    position=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')
    set -- "$1" "$2" "$3" $position
    xdotool mousemove $(($4 + $2)) $(($5 + $3)); sleep 0.3; xdotool click 1
}
wait_for 60 shown mainForm || { fail "no launcher window"; exit 1; }
[ -x "$program/lumora" ] || fail "the starter laid out no program directory"
click mainForm 217 125                        # the children's songs
wait_for 20 shown ergerForm || { fail "no songs window"; exit 1; }
sleep 2
click ergerForm 990 91                        # the first title, not in the folder: streams
title=$(head -n 1 "$scratch/listing" | cut -f6)
wait_for 60 test -f "$program/$title" || fail "the title was not downloaded into $program"
log=$scratch/state/servers.log
streamed() { grep -q "^stream .*\"GET /$title\" 200" "$log"; }
wait_for 60 streamed || fail "the player did not stream $title"
grep -q "^download .*\"GET /$title\" 200" "$log" || fail "$title was not fetched from the download server"

# The sandbox: no web engine process of the user runs without it.
processes=$(ps -u "$user" -o args= | grep QtWebEngineProcess || true)
[ -n "$processes" ] || fail "no web engine process"
if grep -q -- --no-sandbox <<<"$processes"; then fail "the web engine runs without its sandbox"; fi
# Renderers are forked from the zygote and keep its arguments; a sandboxed one runs under
# a seccomp filter (mode 2).
filtered=0
for pid in $(ps -u "$user" -o pid=,args= | awk '/QtWebEngineProcess/ && /--type=zygote/ { print $1 }'); do
    grep -q '^Seccomp:[[:space:]]*2' "/proc/$pid/status" && filtered=$((filtered + 1))
done
((filtered)) || fail "no web engine process runs under the seccomp sandbox"
echo "web engine processes: $(grep -c . <<<"$processes"), none with --no-sandbox, $filtered under seccomp"

click ergerForm 1140 425; sleep 0.5; click ergerForm 1140 425   # back, then close
sleep 1
click mainForm 574 501                        # the lighthouse: the update
for answer in question warning; do
    sleep 3
    xdotool key Return
    echo "answered the $answer"
done
wait_for 60 cmp -s "$updates/erge/lumora-1.0.0.1" "$program/lumora" || fail "the update did not arrive"
sleep 2
xdotool key Return                            # "更新成功"
grep -q 'lumora-1.0.0.1' "$program/update/Nupdate.txt" || fail "the version record was not rewritten"
grep -q '^update .*"GET /erge/lumora-1.0.0.1" 200' "$log" || fail "the new program was not fetched"
grep -E '^(stream|download|update) ' "$log"

# Nothing of the user's outside the home and the runtime directory.
outside=$(find / /tmp /dev/shm /run -xdev \( -path /proc -o -path /sys -o -path "$home" -o -path "/run/user/$uid" \) -prune -o \
    -user "$user" -newer "$scratch/before" -print 2>/dev/null)
[ -z "$outside" ] || fail "written outside the home: $outside"

kill "$program_pid" 2>/dev/null || true
if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "ordinary user: streamed and downloaded $title, updated to lumora-1.0.0.1, sandbox on, nothing outside the home"
