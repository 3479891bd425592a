#!/usr/bin/env bash
# Builds Kivora and runs every test; windows are tested under a virtual X server.
# Exits non-zero when anything fails.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

tools/build.sh

export QTWEBENGINE_DISABLE_SANDBOX=1
status=0
xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp" \
    ctest --test-dir build --output-on-failure -j2 --timeout 300 || status=$?

# A packager's builds: Release and Debug of the program alone, without any test framework.
tools/check-builds.sh || status=$?
# The Debian package, made from the same Release build, unpacked and started for a scratch user.
if tools/package.sh; then
    tests/package/check-package.sh "$(ls -t out/kivora_*.deb | head -1)" || status=$?
else
    status=1
fi
# A distributor's package for other servers, from the same build directory.
hosts=(stream.kivora.test files.kivora.test:8080 updates.kivora.test)
if KIVORA_PACKAGE_OUT=out/other-hosts KIVORA_STREAM_HOST=${hosts[0]} KIVORA_DOWNLOAD_HOST=${hosts[1]} \
    KIVORA_UPDATE_HOST=${hosts[2]} tools/package.sh; then
    tests/package/check-package.sh "$(ls -t out/other-hosts/kivora_*.deb | head -1)" "${hosts[@]}" || status=$?
else
    status=1
fi

# The network, transfer and update tests again, under ThreadSanitizer.
tests/tsan/run-tsan.sh || status=$?

if [ -x tests/fuzz/run-fuzz.sh ]; then
    tests/fuzz/run-fuzz.sh 20 || status=$?
fi
exit $status
