#!/usr/bin/env bash
# Installs what is missing, then configures and builds Kivora into build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/setup-machine.sh

# The player's web assets come from the npm registry, pinned by package-lock.json.
if [ -f package-lock.json ]; then
    stamp=node_modules/.kivora-lock
    if [ ! -f "$stamp" ] || ! cmp -s package-lock.json "$stamp"; then
        npm ci --no-audit --no-fund --loglevel=error
        cp package-lock.json "$stamp"
    fi
fi

# Warnings are errors here and in CI, though not in a plain cmake build.
build_type=${KIVORA_BUILD_TYPE:-RelWithDebInfo}
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE="$build_type" -DKIVORA_WERROR=ON "$@"
elif [ $# -gt 0 ] || ! grep -qx 'KIVORA_WERROR:BOOL=ON' build/CMakeCache.txt; then
    cmake -S . -B build -DKIVORA_WERROR=ON "$@"
fi
cmake --build build -j"$(nproc)"
