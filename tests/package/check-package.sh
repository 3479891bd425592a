#!/usr/bin/env bash
# Checks the Debian package: unpacks it into a throw-away root and checks its file list,
# desktop entry and metainfo, then runs its starter for a scratch user (with a stand-in for
# the program) through a first start, a second start, a package upgrade and a lost program.
# Usage: tests/package/check-package.sh out/kivora_<version>_<arch>.deb
set -euo pipefail
deb=$(realpath "$1")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
root=$scratch/root
dpkg-deb -x "$deb" "$root"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
expect_same() { cmp -s "$1" "$2" || fail "$3"; }

# --- The file list.
folders="Xchangshi chengyugushi dbpintu erger tinggushi wanyx xgushi xpinyin xyingyu yuwenyx ywerger"
expected=(usr/bin/kivora usr/lib/kivora/lumora usr/lib/kivora/kivora-catalog usr/lib/kivora/ipadmain3.png
    usr/lib/kivora/1003.jpg usr/lib/kivora/10.png usr/lib/kivora/ipadmain3@2x.png usr/lib/kivora/1003@2x.jpg
    usr/lib/kivora/10@2x.png usr/lib/kivora/update/Nupdate.txt
    usr/share/applications/org.kivora.Kivora.desktop usr/share/metainfo/org.kivora.Kivora.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/kivora.svg usr/share/doc/kivora/copyright
    usr/share/doc/kivora/changelog.gz usr/share/man/man1/kivora.1.gz)
for size in 16 24 32 48 256; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/kivora.png"); done
for folder in $folders; do expected+=("usr/lib/kivora/$folder/"); done
actual=$(cd "$root" && find . -mindepth 1 \( -type f -o -type d -empty \) | sed 's|^\./||; s|$||' |
    while read -r path; do [ -d "$root/$path" ] && echo "$path/" || echo "$path"; done | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$actual" = "$wanted" ] || fail "file list differs: $(diff <(echo "$wanted") <(echo "$actual") | grep '^[<>]' | xargs)"
[ -x "$root/usr/bin/kivora" ] && [ -x "$root/usr/lib/kivora/lumora" ] || fail "the starter or the program is not executable"
[ -z "$(find "$root" -perm /022 ! -type l)" ] || fail "files writable by group or others"
grep -q -- '-----BEGIN PUBLIC KEY-----' "$root/usr/lib/kivora/lumora" || fail "the program carries no update key"
[ -z "$(grep -rl -- 'PRIVATE KEY-----' "$root")" ] || fail "the package holds a private key"

# --- The desktop entry and the metainfo.
entry=$root/usr/share/applications/org.kivora.Kivora.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx 'Exec=kivora' "$entry" || fail "the menu entry does not run the starter"
grep -qx 'Icon=kivora' "$entry" || fail "the menu entry does not name the hicolor icon"
metainfo=$root/usr/share/metainfo/org.kivora.Kivora.metainfo.xml
appstreamcli validate --no-net "$metainfo" >/dev/null || fail "appstreamcli validate"
grep -q '<launchable type="desktop-id">org.kivora.Kivora.desktop</launchable>' "$metainfo" ||
    fail "the metainfo does not launch the desktop entry"
grep -q '<id>org.kivora.Kivora</id>' "$metainfo" || fail "the metainfo's id is not the entry's name"

# --- The starter, pointed at the unpacked package, with a stand-in program that says
# where it runs from and with which record.
packaged=$root/usr/lib/kivora
sed "s|/usr/lib/kivora|$packaged|" "$root/usr/bin/kivora" >"$scratch/kivora"
chmod +x "$scratch/kivora"
chmod -R u+w "$packaged"
stand_in() {
    printf '#!/bin/sh\necho "%s from $(dirname "$0") with $(head -n1 "$(dirname "$0")/update/Nupdate.txt" | tr -d "\\r")"\n' "$1" \
        >"$packaged/lumora"
    chmod 755 "$packaged/lumora"
    touch -d "$2" "$packaged/lumora"
}
stand_in packaged-1 "2026-01-01 00:00"
printf 'http://updates.invalid/erge/lumora-1\r\n' >"$packaged/update/Nupdate.txt"
chmod -R a-w "$packaged"

home=$scratch/home
mkdir -p "$home"
start() { env -i HOME="$home" PATH=/usr/bin:/bin ${XDG_DATA_HOME:+XDG_DATA_HOME="$XDG_DATA_HOME"} "$scratch/kivora"; }
program=$home/.local/share/kivora

# First start: the directory is laid out, and the program runs from it.
said=$(start)
[ "$said" = "packaged-1 from $program with http://updates.invalid/erge/lumora-1" ] || fail "first start said: $said"
for file in lumora kivora-catalog ipadmain3.png 1003.jpg 10.png ipadmain3@2x.png 1003@2x.jpg 10@2x.png update/Nupdate.txt; do
    expect_same "$packaged/$file" "$program/$file" "first start: $file is not the packaged one"
done
for folder in $folders; do [ -d "$program/$folder" ] && [ -w "$program/$folder" ] || fail "first start: no folder $folder"; done
[ -w "$program" ] && [ -w "$program/update/Nupdate.txt" ] || fail "first start: the directory is not the user's to write"

# The user downloads a title and updates the program; a second start leaves both alone.
printf 'title' >"$program/erger/song.swf"
printf '#!/bin/sh\necho self-updated\n' >"$program/lumora"
printf 'http://updates.invalid/erge/lumora-2\r\n' >"$program/update/Nupdate.txt"
said=$(start)
[ "$said" = self-updated ] || fail "second start did not run the user's program: $said"
grep -q lumora-2 "$program/update/Nupdate.txt" || fail "second start rewrote the version record"
[ "$(cat "$program/erger/song.swf")" = title ] || fail "second start lost the downloaded title"

# An upgraded package replaces the program and its record, and keeps the downloads.
chmod -R u+w "$packaged"
stand_in packaged-3 "2026-06-01 00:00"
printf 'http://updates.invalid/erge/lumora-3\r\n' >"$packaged/update/Nupdate.txt"
chmod -R a-w "$packaged"
said=$(start)
[ "$said" = "packaged-3 from $program with http://updates.invalid/erge/lumora-3" ] || fail "after an upgrade: $said"
[ "$(cat "$program/erger/song.swf")" = title ] || fail "the upgrade lost the downloaded title"

# A program lost in an interrupted update is laid out again.
mv "$program/lumora" "$program/lumora0"
said=$(start)
[ "$said" = "packaged-3 from $program with http://updates.invalid/erge/lumora-3" ] || fail "lost program: $said"

# XDG_DATA_HOME is honoured when absolute and ignored when relative.
XDG_DATA_HOME=$scratch/data said=$(XDG_DATA_HOME=$scratch/data start)
[ "$said" = "packaged-3 from $scratch/data/kivora with http://updates.invalid/erge/lumora-3" ] ||
    fail "XDG_DATA_HOME: $said"
said=$(XDG_DATA_HOME=relative start)
[ "$said" = "packaged-3 from $program with http://updates.invalid/erge/lumora-3" ] || fail "relative XDG_DATA_HOME: $said"
[ ! -e relative ] || fail "a relative XDG_DATA_HOME was used"

# Nothing was written outside the user's home and data directories.
[ -z "$(find "$scratch" -newer "$deb" -type f ! -path "$home/*" ! -path "$scratch/data/*" ! -path "$root/*" ! -path "$scratch/kivora")" ] ||
    fail "files written outside the home"

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed: $(basename "$deb")"
