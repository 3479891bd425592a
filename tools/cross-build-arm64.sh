#!/usr/bin/env bash
# Cross-compiles the program for arm64 into build-arm64/ with Debian's cross toolchain and
# the arm64 development packages, which install beside the host's. Not part of CI: the
# arm64 packages are large. With qemu-user the result runs here too:
#   qemu-aarch64 build-arm64/kivora-catalog
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

packages=(g++-aarch64-linux-gnu qt6-base-dev:arm64 qt6-webengine-dev:arm64 libcurl4-openssl-dev:arm64 libssl-dev:arm64 libgl-dev:arm64)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    dpkg --print-foreign-architectures | grep -qx arm64 || "${sudo_cmd[@]}" dpkg --add-architecture arm64
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-remove "${missing[@]}"
fi

cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=tools/cmake/aarch64-linux-gnu.cmake \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKIVORA_WERROR=ON >/dev/null
cmake --build build-arm64 -j"${KIVORA_JOBS:-2}"
file build-arm64/lumora
