#!/usr/bin/env bash
# Fills three categories from a loopback nginx with `kivora-catalog fetch` and fetches the
# same files with `curl --parallel --parallel-max 4`, in the same run, and prints both
# throughputs and their ratio (target >= 0.9).
#   bench/fetch-all/run.sh [build-dir [work-dir [rounds]]]
# The work dir (default: a new one under $TMPDIR) holds the served files and both copies;
# put it on the file system the program directory would live on. Each side's best round counts.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
work=${2:-}
rounds=${3:-3}
folders=(Xchangshi chengyugushi wanyx)
transfers=4

cmake --build "$build" --target kivora-catalog -j2 >/dev/null
nginx=$(command -v nginx || echo /usr/sbin/nginx)
[ -x "$nginx" ] || { echo "nginx is missing: apt-get install nginx-light (tools/setup-machine.sh)" >&2; exit 1; }

if [ -z "$work" ]; then
    work=$(mktemp -d "${TMPDIR:-/tmp}/kivora-fetch-all.XXXXXX")
    remove_work=1
else
    mkdir -p "$work"
    work=$(cd "$work" && pwd)
    remove_work=0
fi
nginx_pid=
cleanup() {
    if [ -n "$nginx_pid" ]; then
        kill "$nginx_pid" 2>/dev/null || true
        wait "$nginx_pid" 2>/dev/null || true
    fi
    if [ "$remove_work" = 1 ]; then rm -rf "$work"; fi
}
trap cleanup EXIT

# The served files: every title of the three categories, 50 to 500 KB of random bytes each,
# sizes fixed by a seed so that every run serves the same amount.
content=$work/content
rm -rf "$content"
mkdir -p "$content"
"$build/kivora-catalog" list >"$work/catalog.tsv"
RANDOM=14
while IFS=$'\t' read -r _ _ folder _ _ path _ _; do
    case " ${folders[*]} " in *" $folder "*) ;; *) continue ;; esac
    mkdir -p "$content/$folder"
    head -c $(( (50 + RANDOM % 451) * 1024 )) /dev/urandom >"$content/$path"
done <"$work/catalog.tsv"
files=$(find "$content" -type f | wc -l)
bytes=$(find "$content" -type f -printf '%s\n' | awk '{ s += $1 } END { print s }')

# nginx on a free loopback port; its workers run as nobody, so the tree must be readable.
chmod -R a+rX "$content"
chmod a+x "$work"
start_nginx() {
    local port=$1
    mkdir -p "$work/nginx"
    cat >"$work/nginx/nginx.conf" <<CONF
daemon off;
master_process on;
worker_processes 2;
$( [ "$(id -u)" -eq 0 ] && echo "user nobody nogroup;" )
pid $work/nginx/nginx.pid;
error_log $work/nginx/error.log warn;
events { worker_connections 256; }
http {
    access_log off;
    sendfile on;
    tcp_nopush on;
    keepalive_requests 10000;
    client_body_temp_path $work/nginx/body;
    proxy_temp_path $work/nginx/proxy;
    fastcgi_temp_path $work/nginx/fastcgi;
    uwsgi_temp_path $work/nginx/uwsgi;
    scgi_temp_path $work/nginx/scgi;
    types { application/x-shockwave-flash swf; }
    server {
        listen 127.0.0.1:$port;
        root $content;
    }
}
CONF
    "$nginx" -p "$work/nginx" -c "$work/nginx/nginx.conf" &
    nginx_pid=$!
    local first=$(find "$content" -type f -name '*.swf' | head -1)
    first=${first#"$content"/}
    for _ in $(seq 50); do
        if ! kill -0 "$nginx_pid" 2>/dev/null; then
            wait "$nginx_pid" 2>/dev/null || true
            nginx_pid=
            return 1
        fi
        curl -sf -o /dev/null "http://127.0.0.1:$port/$(printf '%s' "$first" | encode)" && return 0
        sleep 0.1
    done
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
    nginx_pid=
    return 1
}
# Percent-encodes UTF-8 bytes as the program does, keeping "/".
encode() { perl -pe 's/([^A-Za-z0-9\/._~-])/sprintf("%%%02X", ord($1))/ge'; }

port=
RANDOM=$$
for _ in $(seq 20); do
    candidate=$((20000 + RANDOM % 40000))
    if start_nginx "$candidate"; then
        port=$candidate
        break
    fi
done
if [ -z "$port" ]; then
    echo "nginx did not serve $content (its workers run as nobody: every folder above must let them in):" >&2
    cat "$work/nginx/error.log" >&2
    exit 1
fi
host=127.0.0.1:$port

# curl's list: the same addresses, one numbered output file each.
list=$work/curl.cfg
: >"$list"
n=0
while IFS=$'\t' read -r _ _ folder _ _ path _ _; do
    case " ${folders[*]} " in *" $folder "*) ;; *) continue ;; esac
    n=$((n + 1))
    printf 'url = "http://%s/%s"\noutput = "%d.swf"\n' "$host" "$(printf '%s' "$path" | encode)" "$n" >>"$list"
done <"$work/catalog.tsv"

now() { date +%s.%N; }
run_fetch() {
    rm -rf "$work/program"
    mkdir -p "$work/program"
    local start=$(now)
    "$build/kivora-catalog" fetch --dir "$work/program" --jobs "$transfers" --download-host "$host" "${folders[@]}" \
        >"$work/fetch.log" || { tail -5 "$work/fetch.log" >&2; exit 1; }
    local end=$(now)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}
run_curl() {
    rm -rf "$work/curl"
    mkdir -p "$work/curl"
    local start=$(now)
    (cd "$work/curl" && curl --parallel --parallel-max "$transfers" --no-progress-meter -f --config "$list")
    # fetch makes each file durable before it takes its name; curl leaves them to the page
    # cache. Flushing curl's files as well (each file, then the folder) compares like with like.
    if [ "${1:-}" = synced ]; then (cd "$work/curl" && sync -- *.swf . ); fi
    local end=$(now)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f\n", b - a }'
}

least() { awk -v a="$1" -v b="$2" 'BEGIN { print (a == "" || b + 0 < a + 0) ? b : a }'; }
best_fetch=
best_curl=
best_synced=
for round in $(seq "$rounds"); do
    # Alternate which goes first, so neither always meets a warmer cache.
    if [ $((round % 2)) = 1 ]; then
        f=$(run_fetch); c=$(run_curl); s=$(run_curl synced)
    else
        s=$(run_curl synced); c=$(run_curl); f=$(run_fetch)
    fi
    got=$(find "$work/program" -type f | wc -l)
    [ "$got" = "$files" ] || { echo "fetch left $got of $files files" >&2; exit 1; }
    printf 'round %d: fetch %.3f s, curl %.3f s, curl and sync %.3f s\n' "$round" "$f" "$c" "$s"
    best_fetch=$(least "$best_fetch" "$f")
    best_curl=$(least "$best_curl" "$c")
    best_synced=$(least "$best_synced" "$s")
done

awk -v files="$files" -v bytes="$bytes" -v f="$best_fetch" -v c="$best_curl" -v s="$best_synced" -v dir="$work" \
    -v n="$transfers" 'BEGIN {
    printf "%d files, %.1f MB, %d at once, into %s\n", files, bytes / 1e6, n, dir
    printf "kivora-catalog fetch:      %.3f s, %6.1f MB/s\n", f, bytes / f / 1e6
    printf "curl --parallel:           %.3f s, %6.1f MB/s\n", c, bytes / c / 1e6
    printf "curl --parallel, then sync: %.3f s, %6.1f MB/s\n", s, bytes / s / 1e6
    printf "fetch / curl throughput:           %.2f (target >= 0.9)\n", c / f
    printf "fetch / curl-then-sync throughput: %.2f\n", s / f
}'
