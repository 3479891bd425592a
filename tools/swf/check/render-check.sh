#!/bin/sh
# Developer check, not part of the build: renders title cards with the Ruffle
# web player in headless Chromium and leaves one screenshot per card.
#
#   tools/swf/check/render-check.sh BUILD_DIR OUT_DIR
#
# Needs chromium (Debian package), npm and python3 (only for a throwaway
# static file server). Look at OUT_DIR/*.png: each card's title must be legible.
set -eu
build=$1
out=$(mkdir -p "$2" && cd "$2" && pwd)
here=$(cd "$(dirname "$0")" && pwd)
port=${PORT:-18999}

cd "$out"
[ -d node_modules/@ruffle-rs/ruffle ] || { npm init -y >/dev/null && npm install @ruffle-rs/ruffle@0.6.0 >/dev/null; }
cp "$here/page.html" page.html
mkdir -p cards
printf '%s\t%s\t%s\n' \
    "做客歌" "#ffcc00" cards/a.swf \
    "韵律诗the cock's on the housestop" "#66aadd" cards/b.swf \
    "天线let's count" "#cc6699" cards/c.swf \
    | "$build/tools/swf/kivora-swf" --batch

python3 -m http.server "$port" --bind 127.0.0.1 >/dev/null 2>&1 &
server=$!
trap 'kill $server' EXIT
for card in a b c; do
    chromium --headless --no-sandbox --disable-gpu --disable-background-networking \
        --disable-component-update --no-first-run --user-data-dir="$(mktemp -d)" \
        --screenshot="$out/$card.png" --window-size=800,600 --virtual-time-budget=8000 \
        "http://127.0.0.1:$port/page.html?file=cards/$card.swf" >/dev/null 2>&1
done
ls "$out"/*.png
