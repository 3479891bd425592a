#!/usr/bin/env bash
# Installs what building, running and testing Kivora need on Debian 12. Quick when
# everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config clang
    qt6-base-dev qt6-base-dev-tools qt6-webengine-dev qt6-webengine-dev-tools qt6-svg-dev
    libgl-dev libcurl4-openssl-dev libssl-dev openssl libgtest-dev libgmock-dev libicu-dev libcpp-httplib-dev
    xvfb xauth xdotool imagemagick fonts-noto-cjk fonts-droid-fallback curl nginx-light nodejs npm
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done

# nodejs from another source may bring its own npm; don't fight it.
if command -v npm >/dev/null 2>&1; then
    missing=("${missing[@]/#npm/}")
fi
if command -v node >/dev/null 2>&1; then
    missing=("${missing[@]/#nodejs/}")
fi
read -r -a missing <<<"${missing[*]:-}"

if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi
