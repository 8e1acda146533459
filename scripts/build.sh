#!/usr/bin/env bash
# Configures and builds one preset, or only some of its targets:
# scripts/build.sh [default|asan|tsan|windows] [TARGET ...]
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/common.sh
. scripts/common.sh
require_command cmake cmake "run scripts/install-deps.sh as root first."
preset="${1:-default}"
shift || true
targets=()
for target in "$@"; do
    targets+=(--target "$target")
done
if [ "$preset" = windows ]; then
    # WavPack and TinyXML built for Windows from Debian's sources, once.
    scripts/windows-deps.sh
fi
cmake --preset "$preset" >/dev/null ||
    fail "configuring the $preset build failed (CMake's message above names what it did not find)."
cmake --build --preset "$preset" -j "$(nproc)" "${targets[@]}"
