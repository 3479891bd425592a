#!/usr/bin/env bash
# Builds and runs the start-up bench on a virtual X server: bench/startup/run.sh [build-dir] [runs]
set -euo pipefail
build=${1:-build}
cmake --build "$build" --target bench_startup -j2
exec xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp" "$build/bench/startup/bench_startup" "${2:-9}"
