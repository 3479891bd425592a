#!/usr/bin/env bash
# Memory of the whole program through the eleven windows against a bare Ruffle page, both
# measured in this run: bench/memory/run.sh [build-dir] [movie.swf]
set -euo pipefail
build=${1:-build}
movie=${2:-}
cmake --build "$build" --target bench_memory -j2
xvfb=(xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp")
export QTWEBENGINE_DISABLE_SANDBOX=${QTWEBENGINE_DISABLE_SANDBOX:-$([ "$(id -u)" -eq 0 ] && echo 1 || echo 0)}
[ "$QTWEBENGINE_DISABLE_SANDBOX" = 1 ] || unset QTWEBENGINE_DISABLE_SANDBOX
bare=$("${xvfb[@]}" "$build/bench/memory/bench_memory" --bare ${movie:+"$movie"})
program=$("${xvfb[@]}" "$build/bench/memory/bench_memory" ${movie:+"$movie"})
printf '%s\n%s\n' "$bare" "$program" | grep -v '^RESULT'
value() { printf '%s\n%s\n' "$bare" "$program" | awk -v k="$1" '$1 == "RESULT" && $2 == k { print $3 }'; }
awk -v b="$(value bare)" -v p="$(value playing-first)" -v f="$(value after-first)" -v l="$(value after-last)" 'BEGIN {
    printf "after the eleventh window / after the first: %.2f (target <= 1.25)\n", l / f
    printf "one title playing / bare page playing:       %.2f (target <= 1.25)\n", p / b
}'
