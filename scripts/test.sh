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
passed=0
failed=0
run() {
    local preset="$1"
    shift
    echo "== $preset build"
    scripts/build.sh "$preset" "$@"
    echo "== $preset tests"
    local log
    log=$(mktemp)
    ctest --preset "$preset" -j "$(nproc)" 2>&1 | tee "$log" || true
    # ctest's summary: "N% tests passed, F tests failed out of T".
    local summary
    summary=$(grep -E 'tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -z "$summary" ] || ! grep -q '100% tests passed' "$log"; then
        status=1
    fi
    if [ -n "$summary" ]; then
        local total fails
        total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$summary")
        fails=$(sed -E 's/.*, ([0-9]+) tests failed.*/\1/' <<<"$summary")
        passed=$((passed + total - fails))
        failed=$((failed + fails))
    fi
    rm -f "$log"
}

run default
run asan
# Under ThreadSanitizer only the concurrency tests run.
run tsan core_concurrency_tests editing_concurrency_tests
run windows

echo "== fuzzing the song-data, settings and WAV readers"
scripts/fuzz.sh 70 || status=1

if [ "$status" -ne 0 ]; then
    echo "Some tests failed."
fi
echo "$passed passed, $failed failed"
exit "$status"
