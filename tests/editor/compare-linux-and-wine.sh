#!/usr/bin/env bash
# compare-linux-and-wine.sh NATIVE_BUILD WINDOWS_BUILD
# The editor view of the same recorded song, drawn by the Linux surface
# (spoolex-host snapshot) and by GDI+ in a real window under Wine
# (spoolex-host show --view), agrees exactly in every pixel.
# Skipped (77) without a native build beside the Windows one.
set -euo pipefail
native="$1"
windows="$2"
if [ ! -x "$native/spoolex-host" ]; then
    echo "no native build in $native"
    exit 77
fi
work="$(realpath "$(mktemp -d "$windows/wine/compare.XXXXXX")")"
trap 'rm -rf "$work"' EXIT
view=(--size 800x360 --select 2:6 --take 0)

"$native/spoolex-host" demo "$work" >/dev/null
"$native/spoolex-host" snapshot "$work/demo.sxs" "$work/linux.png" "${view[@]}"
"$windows/wine-run.sh" "$windows/spoolex-host.exe" show "Z:$work/demo.sxs" \
    --view "Z:$work/wine.png" "${view[@]}"
"$windows/wine-run.sh" "$windows/tests/compare_pictures.exe" "Z:$work/linux.png" \
    "Z:$work/wine.png" 1.0 0
