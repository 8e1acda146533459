#!/usr/bin/env bash
# The main job on a built-in demo: installs what it needs, builds, and has
# the stand-in host synthesise an input, record two passes over one pattern
# with auto punch, save the song, load it again, render it to
# build/demo/demo.wav, print the pattern's report, and draw what the editor
# and the host's sequence view show as build/demo/demo-editor.png and
# build/demo/demo-sequence.png.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build.sh default
build/default/spoolex-host demo build/demo
