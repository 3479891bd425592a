#!/usr/bin/env bash
# Checks the Debian package: unpacks it into a throw-away root and checks its file list,
# licence, desktop entry and metainfo, then runs its starter for a scratch user (with a
# stand-in for the program) through a first start, a second start, a package upgrade and a
# lost program, and its catalog command against a loopback nginx.
# Usage: tests/package/check-package.sh out/kivora_<version>_<arch>.deb [STREAM DOWNLOAD UPDATE]
# With three hosts, also checks that the package was built for them.
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
expected=(usr/bin/kivora usr/bin/kivora-catalog usr/libexec/kivora/kivora-catalog usr/share/kivora/layout.sh
    usr/lib/kivora/lumora usr/lib/kivora/ipadmain3.png
    usr/lib/kivora/1003.jpg usr/lib/kivora/10.png usr/lib/kivora/ipadmain3@2x.png usr/lib/kivora/1003@2x.jpg
    usr/lib/kivora/10@2x.png usr/lib/kivora/update/Nupdate.txt
    usr/share/applications/org.kivora.Kivora.desktop usr/share/metainfo/org.kivora.Kivora.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/kivora.svg usr/share/doc/kivora/copyright
    usr/share/doc/kivora/changelog.gz usr/share/man/man1/kivora.1.gz usr/share/man/man1/kivora-catalog.1.gz)
for size in 16 24 32 48 256; do expected+=("usr/share/icons/hicolor/${size}x${size}/apps/kivora.png"); done
for folder in $folders; do expected+=("usr/lib/kivora/$folder/"); done
actual=$(cd "$root" && find . -mindepth 1 \( -type f -o -type d -empty \) | sed 's|^\./||; s|$||' |
    while read -r path; do [ -d "$root/$path" ] && echo "$path/" || echo "$path"; done | sort)
wanted=$(printf '%s\n' "${expected[@]}" | sort)
[ "$actual" = "$wanted" ] || fail "file list differs: $(diff <(echo "$wanted") <(echo "$actual") | grep '^[<>]' | xargs)"
for program in usr/bin/kivora usr/bin/kivora-catalog usr/lib/kivora/lumora usr/libexec/kivora/kivora-catalog; do
    [ -x "$root/$program" ] || fail "$program is not executable"
done
[ -z "$(find "$root" -perm /022 ! -type l)" ] || fail "files writable by group or others"
grep -q -- '-----BEGIN PUBLIC KEY-----' "$root/usr/lib/kivora/lumora" || fail "the program carries no update key"
[ -z "$(grep -rl -- 'PRIVATE KEY-----' "$root")" ] || fail "the package holds a private key"

# --- The servers the package was built for.
if (($# == 4)); then
    listed=$("$root/usr/libexec/kivora/kivora-catalog" list | sed -n 1p)
    [[ $listed == *$'\t'"http://$2/"*$'\t'"http://$3/"* ]] || fail "the catalog does not name $2 and $3: $listed"
    grep -qx "http://$4/erge/lumora-.*"$'\r' "$root/usr/lib/kivora/update/Nupdate.txt" ||
        fail "the version record does not name $4: $(head -n1 "$root/usr/lib/kivora/update/Nupdate.txt")"
    grep -qaF "$4" "$root/usr/lib/kivora/lumora" || fail "the program does not ask $4 for updates"
fi

# --- The licence: ours MIT, what we ship of others under its own terms.
copyright=$root/usr/share/doc/kivora/copyright
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' "$copyright" ||
    fail "the copyright file is not machine-readable"
[ "$(sed -n '/^Files: \*$/,/^$/s/^License: //p' "$copyright")" = MIT ] || fail "our files are not MIT-licensed"
grep -q '^License: MIT or Apache-2.0$' "$copyright" || fail "the copyright file does not name Ruffle's terms"
grep -q '^Files: assets/fonts/' "$copyright" || fail "the copyright file does not name the font"
grep -q '<project_license>MIT</project_license>' "$root/usr/share/metainfo/org.kivora.Kivora.metainfo.xml" ||
    fail "the metainfo's project_license is not MIT"

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
sed "s|/usr/lib/kivora|$packaged|" "$root/usr/share/kivora/layout.sh" >"$scratch/layout.sh"
for starter in kivora kivora-catalog; do
    sed "s|/usr/share/kivora/layout.sh|$scratch/layout.sh|; s|/usr/libexec/kivora|$root/usr/libexec/kivora|" \
        "$root/usr/bin/$starter" >"$scratch/$starter"
    chmod +x "$scratch/$starter"
done
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
as_user() { env -i HOME="$home" PATH=/usr/bin:/bin ${XDG_DATA_HOME:+XDG_DATA_HOME="$XDG_DATA_HOME"} "$@"; }
start() { as_user "$scratch/kivora"; }
program=$home/.local/share/kivora

# First start: the directory is laid out, and the program runs from it.
said=$(start)
[ "$said" = "packaged-1 from $program with http://updates.invalid/erge/lumora-1" ] || fail "first start said: $said"
for file in lumora ipadmain3.png 1003.jpg 10.png ipadmain3@2x.png 1003@2x.jpg 10@2x.png update/Nupdate.txt; do
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
[ -z "$(find "$scratch" -newer "$deb" -type f ! -path "$home/*" ! -path "$scratch/data/*" ! -path "$root/*" ! -path "$scratch/kivora" ! -path "$scratch/kivora-catalog" ! -path "$scratch/layout.sh")" ] ||
    fail "files written outside the home"

# --- The catalog command on the PATH: its first use lays out the user's directory, and
# fetch fills it from a loopback nginx.
unset XDG_DATA_HOME
rm -rf "$home"
mkdir -p "$home" "$scratch/served" "$scratch/nginx"
folder=xyingyu
as_user "$scratch/kivora-catalog" list | awk -F'\t' -v folder=$folder '$3 == folder { print $6 }' >"$scratch/titles"
[ -s "$scratch/titles" ] || fail "kivora-catalog list named no title of $folder"
while IFS= read -r title; do
    mkdir -p "$scratch/served/$(dirname "$title")"
    printf 'FWS %s' "$title" >"$scratch/served/$title"
done <"$scratch/titles"
nginx_pid=
for attempt in 1 2 3 4 5; do
    port=$((20000 + RANDOM % 20000))
    # Started as root, nginx would hand its worker to "nobody", who cannot read the scratch folder.
    cat >"$scratch/nginx/nginx.conf" <<EOF
daemon off;
$([ "$(id -u)" -eq 0 ] && echo 'user root;')
pid $scratch/nginx/nginx.pid;
events {}
http {
    access_log off;
    client_body_temp_path $scratch/nginx/body;
    proxy_temp_path $scratch/nginx/proxy;
    fastcgi_temp_path $scratch/nginx/fastcgi;
    uwsgi_temp_path $scratch/nginx/uwsgi;
    scgi_temp_path $scratch/nginx/scgi;
    server { listen 127.0.0.1:$port; root $scratch/served; }
}
EOF
    /usr/sbin/nginx -c "$scratch/nginx/nginx.conf" -e "$scratch/nginx/error.log" 2>/dev/null &
    nginx_pid=$!
    for _ in $(seq 50); do
        (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
        kill -0 "$nginx_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$nginx_pid" 2>/dev/null && break
    nginx_pid=
done
if [ -z "$nginx_pid" ]; then
    fail "nginx did not start: $(cat "$scratch/nginx/error.log" 2>/dev/null)"
else
    said=$(as_user "$scratch/kivora-catalog" fetch --download-host "127.0.0.1:$port" $folder 2>&1) ||
        fail "kivora-catalog fetch failed: $said"
    kill "$nginx_pid"
    wait "$nginx_pid" 2>/dev/null || true
    [ -x "$program/lumora" ] || fail "kivora-catalog did not lay out the user's directory"
    while IFS= read -r title; do
        expect_same "$scratch/served/$title" "$program/$title" "kivora-catalog fetch: $title is not in the user's directory"
    done <"$scratch/titles"
fi

if ((failures)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed: $(basename "$deb")"
