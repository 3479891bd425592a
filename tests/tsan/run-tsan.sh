#!/usr/bin/env bash
# Builds the network, transfer, resume and update tests with ThreadSanitizer in build-tsan and runs
# them. Exits non-zero when a test fails or the sanitizer reports a race.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${KIVORA_TSAN_BUILD:-$root/build-tsan}

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKIVORA_WERROR=ON \
    -DCMAKE_CXX_FLAGS="-fsanitize=thread" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=thread" >/dev/null
tests=(tests/platform/net/tst_platform_net tests/transfer/tst_transfer tests/update/tst_update
       tests/resume/tst_resume)
cmake --build "$build" -j2 --target tst_platform_net tst_transfer tst_update tst_resume update_fetch_child

# A report ends the test with the sanitizer's exit code, so a race fails the run.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}"
status=0
for test in "${tests[@]}"; do
    echo "== $test"
    "$build/$test" --gtest_brief=1 || status=1
done
exit $status
