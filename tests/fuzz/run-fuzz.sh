#!/bin/sh
# Builds the response-parser fuzz target with clang and runs it, by default for 20 s.
# Usage: tests/fuzz/run-fuzz.sh [seconds] [build-dir]
set -eu
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
seconds=${1:-20}
build_dir=${2:-$source_dir/build-fuzz}

cmake -S "$source_dir" -B "$build_dir" -G Ninja \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build_dir" -j2 --target fuzz_http_response

corpus=$(mktemp -d)
trap 'rm -rf "$corpus"' EXIT
cp "$source_dir"/tests/fuzz/corpus/* "$corpus"/
"$build_dir"/tests/fuzz/fuzz_http_response -max_total_time="$seconds" -max_len=8192 \
    -print_final_stats=1 "$corpus"
