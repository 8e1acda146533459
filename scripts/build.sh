#!/usr/bin/env bash
# Configures and builds one preset: scripts/build.sh [default|asan|tsan|windows]
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"
if [ "$preset" = windows ]; then
    # WavPack and TinyXML built for Windows from Debian's sources, once.
    scripts/windows-deps.sh
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j "$(nproc)"
