#!/usr/bin/env bash
# Makes the Debian package out/kivora_<version>_<arch>.deb from a Release build of the
# program alone (build-release, shared with tools/check-builds.sh), and checks it with
# desktop-file-validate, appstreamcli and lintian. Prints lintian's remaining tags.
#
# A package for your own servers takes the build settings from the environment, for example
#   KIVORA_STREAM_HOST=stream.example.org KIVORA_DOWNLOAD_HOST=files.example.org \
#   KIVORA_UPDATE_HOST=updates.example.org KIVORA_UPDATE_PUBLIC_KEY=$PWD/update-key.pub.pem tools/package.sh
# (docs/packaging.md). Settings not given take their defaults, the local demo servers,
# whatever an earlier run chose. KIVORA_PACKAGE_OUT names another folder than out/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/setup-machine.sh
missing=()
for package in dpkg-dev desktop-file-utils appstream lintian file; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if ((${#missing[@]})); then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq "${missing[@]}"
fi

settings=()
for name in KIVORA_STREAM_HOST KIVORA_DOWNLOAD_HOST KIVORA_UPDATE_HOST KIVORA_UPDATE_PUBLIC_KEY \
    KIVORA_CONTENT_SCHEME KIVORA_SHIPPED_VERSION_LINE; do
    value=${!name:-}
    [ "$name" = KIVORA_UPDATE_PUBLIC_KEY ] && [ -n "$value" ] && value=$(realpath "$value")
    if [ -n "$value" ]; then
        settings+=("-D$name=$value")
    fi
done

build=build-release
out=${KIVORA_PACKAGE_OUT:-out}
# Without KIVORA_UPDATE_PUBLIC_KEY the package takes updates signed with a demo key made in
# build-release, fit for trying it out only. Fresh, so that a setting an earlier run gave
# does not stay; the objects and the demo key stay.
cmake --fresh -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DKIVORA_WERROR=ON \
    -DKIVORA_SYSTEM_LAYOUT=ON -DCMAKE_INSTALL_PREFIX=/usr "${settings[@]}" >/dev/null
cmake --build "$build" -j"${KIVORA_JOBS:-2}"
mkdir -p "$out"
out=$(cd "$out" && pwd)
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
rm -rf "$out/_CPack_Packages"
deb=$(ls -t "$out"/kivora_*.deb | head -1)
echo "Made $deb"
grep -q '^KIVORA_UPDATE_SIGNING_KEY:INTERNAL=.' "$build/CMakeCache.txt" &&
    echo "It takes updates signed with the demo key in $build/update-key (KIVORA_UPDATE_PUBLIC_KEY=FILE for a release)."

tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
dpkg-deb -x "$deb" "$tree"
desktop-file-validate "$tree"/usr/share/applications/*.desktop
appstreamcli validate --no-net --pedantic "$tree"/usr/share/metainfo/*.metainfo.xml
# lintian fails on errors; warnings and lesser tags are listed.
lintian --fail-on error --tag-display-limit 0 "$deb"
