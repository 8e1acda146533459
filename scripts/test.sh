#!/usr/bin/env bash
# The whole test suite: installs what it needs, then builds and runs the
# native tests, the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the concurrency tests under ThreadSanitizer, and
# the Windows build with its tests under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/install-windows-deps.sh

status=0
run() {
    local preset="$1"
    shift
    echo "== $preset build"
    scripts/build.sh "$preset" "$@"
    echo "== $preset tests"
    ctest --preset "$preset" -j "$(nproc)" || status=1
}

run default
run asan
# Under ThreadSanitizer only the concurrency tests run.
run tsan core_concurrency_tests
run windows

echo "== fuzzing the song-data reader"
scripts/fuzz.sh 45 || status=1

if [ "$status" -ne 0 ]; then
    echo "Some tests failed."
fi
exit "$status"
