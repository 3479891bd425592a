#!/usr/bin/env bash
# Memory of the whole program through the eleven windows against a bare Ruffle page, and at
# the launcher 70 s later with the player rested against one kept warm, all measured in this
# run: bench/memory/run.sh [build-dir] [movie.swf]
set -euo pipefail
build=${1:-build}
movie=${2:-}
cmake --build "$build" --target bench_memory bench_memory_bare -j2
xvfb=(xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp")
export QTWEBENGINE_DISABLE_SANDBOX=${QTWEBENGINE_DISABLE_SANDBOX:-$([ "$(id -u)" -eq 0 ] && echo 1 || echo 0)}
[ "$QTWEBENGINE_DISABLE_SANDBOX" = 1 ] || unset QTWEBENGINE_DISABLE_SANDBOX
bare=$("${xvfb[@]}" "$build/bench/memory/bench_memory_bare" ${movie:+"$movie"})
program=$("${xvfb[@]}" "$build/bench/memory/bench_memory" ${movie:+"$movie"})
warm=$("${xvfb[@]}" "$build/bench/memory/bench_memory" --warm ${movie:+"$movie"})
printf '%s\n%s\n== kept warm ==\n%s\n' "$bare" "$program" "$warm" | grep -v '^RESULT'
value() { printf '%s\n' "$1" | awk -v k="$2" '$1 == "RESULT" && $2 == k { print $3 }'; }
awk -v b="$(value "$bare" bare)" -v p="$(value "$program" playing-first)" -v f="$(value "$program" after-first)" \
    -v l="$(value "$program" after-last)" -v r="$(value "$program" rested)" -v w="$(value "$warm" rested)" \
    -v n="$(value "$program" next-title-ms)" -v m="$(value "$warm" next-title-ms)" 'BEGIN {
    printf "after the eleventh window / after the first: %.2f (target <= 1.25)\n", l / f
    printf "one title playing / bare page playing:       %.2f (target <= 1.25)\n", p / b
    printf "70 s back at the island, player rested:      %.0f MB (target <= 100 MB; kept warm: %.0f MB)\n", r / 1048576, w / 1048576
    printf "next title after the rest, chosen 2 s in:    %d ms (target <= 1000 ms; kept warm: %d ms)\n", n, m
}'
