#!/usr/bin/env bash
# The main job on a built-in demo: installs what it needs, builds, and runs
# the stand-in host on it.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh default
build/default/spoolex-host describe
