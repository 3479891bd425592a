#!/bin/sh
# Starts kivora-demo-servers on free loopback ports, fetches a title with a
# space, an apostrophe and Chinese characters (percent-encoded) from the
# stream and download servers, a missing title and the version file, then
# stops it with SIGTERM and expects a clean exit.
set -eu
servers=$1
work=$(mktemp -d -t kivora-demo-smoke-XXXXXX)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/content/ywerger" "$work/updates"
title="韵律诗the cock's on the housestop"
head -c 5000 /dev/urandom >"$work/content/ywerger/$title.swf"
echo "http://127.0.0.1/lumora.exe" >"$work/updates/update.txt"

"$servers" --content "$work/content" --update-dir "$work/updates" \
    --stream-port 0 --download-port 0 --update-port 0 --download-rate 1m >"$work/log" 2>&1 &
pid=$!
i=0
until grep -q '^ready$' "$work/log"; do
    kill -0 "$pid" 2>/dev/null || { cat "$work/log"; exit 1; }
    [ $i -lt 200 ] || { echo "servers did not start"; cat "$work/log"; exit 1; }
    sleep 0.1
    i=$((i + 1))
done
cat "$work/log"
address() { sed -n "s/^listening $1 //p" "$work/log"; }
encoded="/ywerger/%E9%9F%B5%E5%BE%8B%E8%AF%97the%20cock's%20on%20the%20housestop.swf"

fail=0
for server in stream download; do
    base=$(address $server)
    curl -sS -o "$work/got" "$base$encoded"
    cmp "$work/got" "$work/content/ywerger/$title.swf" || { echo "FAIL: $server returned other bytes"; fail=1; }
    status=$(curl -s -o /dev/null -w '%{http_code}' "$base/ywerger/nothing.swf")
    [ "$status" = 404 ] || { echo "FAIL: $server gave $status for a missing title"; fail=1; }
done
version=$(curl -sS "$(address update)/erge/update.txt")
[ "$version" = "http://127.0.0.1/lumora.exe" ] || { echo "FAIL: version file: $version"; fail=1; }

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
pid=
[ "$status" = 0 ] || { echo "FAIL: exit status $status after SIGTERM"; fail=1; }
grep -q "^stopping on SIGTERM$" "$work/log" || { echo "FAIL: no stop message"; fail=1; }
grep -q "\"GET /ywerger/$title.swf\" 200" "$work/log" || { echo "FAIL: request not logged decoded"; fail=1; }
exit $fail
