#!/usr/bin/env bash
# Builds the program as a packager would: Release and Debug, with BUILD_TESTING=OFF, each
# in its own build directory (build-release, build-debug), warnings as errors. Checks that
# no test framework was looked for and that the install holds the program.
# KIVORA_CHECK_ALL_BUILDS=1 builds the tests, tools and benches in those build types too.
# The RelWithDebInfo build with everything is tools/build.sh's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

jobs=${KIVORA_JOBS:-2}
testing=OFF
[ "${KIVORA_CHECK_ALL_BUILDS:-0}" = 1 ] && testing=ON

check_build() {
    local type=$1 dir=$2
    echo "== $type build in $dir (BUILD_TESTING=$testing)"
    # Fresh, so that the cache shows only what this configuration looked for; the objects stay.
    cmake --fresh -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" -DBUILD_TESTING="$testing" \
        -DKIVORA_WERROR=ON -DKIVORA_SYSTEM_LAYOUT=OFF >/dev/null
    cmake --build "$dir" -j"$jobs"

    if [ "$testing" = OFF ]; then
        if grep -Eq '^(GTest_DIR|Qt6Test_DIR|GTEST_INCLUDE_DIR):' "$dir/CMakeCache.txt"; then
            echo "$dir: a test framework was looked for with BUILD_TESTING=OFF" >&2
            return 1
        fi
        # The programs the default target links (files of an earlier build may lie about).
        local programs
        programs=$(comm -12 \
            <(ninja -C "$dir" -t targets all | sed -n 's/^\([^:]*\): CXX_EXECUTABLE_LINKER.*/\1/p' | sort) \
            <(ninja -C "$dir" -t commands all | grep -oE ' -o [^ ]+' | cut -c5- | sort -u) | xargs)
        if [ "$programs" != "kivora-catalog lumora" ]; then
            echo "$dir: BUILD_TESTING=OFF builds more than the program: $programs" >&2
            return 1
        fi
    fi

    local prefix
    prefix=$(mktemp -d)
    DESTDIR="$prefix" cmake --install "$dir" --prefix /opt/kivora >/dev/null
    for file in lumora kivora-catalog ipadmain3.png 1003.jpg 10.png update/Nupdate.txt; do
        if [ ! -e "$prefix/opt/kivora/$file" ]; then
            echo "$dir: the install lacks $file" >&2
            rm -rf "$prefix"
            return 1
        fi
    done
    rm -rf "$prefix"
    echo "== $type: ok"
}

check_build Release build-release
check_build Debug build-debug
