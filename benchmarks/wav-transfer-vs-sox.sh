#!/usr/bin/env bash
# Times our WAV import and export of a 10-minute stereo file, 24-bit PCM and
# 32-bit float, against sox reading and writing the same file in the same
# format, in the same run. Target: ours (import + export) at most 1.0x sox.
# Both are whole processes timed alike: wall clock and CPU (user + system);
# the import and export columns are ours, measured inside the process.
#
# Usage: benchmarks/wav-transfer-vs-sox.sh [build folder] [runs]
#        (default build/default, 5 runs; the medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
runs="${2:-5}"
tool="$build/benchmarks/wav_transfer"
for program in "$tool" sox /usr/bin/time; do
    command -v "$program" >/dev/null || { echo "missing: $program" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
column() { awk -v c="$1" '{ print $c }' "$2" | median; }

printf "10-minute stereo file, 44100 Hz; medians of %d runs, ms\n" "$runs"
printf "%-5s %8s %8s %10s %10s %8s %10s %10s %8s\n" "" "import" "export" "ours wall" "sox wall" \
    "ratio" "ours CPU" "sox CPU" "ratio"
for case in "24i -b 24" "32f -e float -b 32"; do
    read -r keyword options <<<"$case"
    # wavpcm: the plain format tags, as in every earlier measurement (sox
    # otherwise writes the extensible layout, which is read the same way).
    sox -n -r 44100 -c 2 -t wavpcm $options "$work/in.wav" synth 600 pinknoise vol 0.5
    : >"$work/halves" && : >"$work/ours" && : >"$work/sox"
    for _ in $(seq "$runs"); do
        /usr/bin/time -f "%e %U %S" -o "$work/t" "$tool" "$work/in.wav" "$work/ours.wav" \
            "$keyword" >>"$work/halves"
        awk '{ print $1 * 1000, ($2 + $3) * 1000 }' "$work/t" >>"$work/ours"
        /usr/bin/time -f "%e %U %S" -o "$work/t" sox -D "$work/in.wav" -t wavpcm $options \
            "$work/sox.wav"
        awk '{ print $1 * 1000, ($2 + $3) * 1000 }' "$work/t" >>"$work/sox"
        rm -f "$work/ours.wav" "$work/sox.wav"
    done
    awk -v k="$keyword" -v i="$(column 1 "$work/halves")" -v e="$(column 2 "$work/halves")" \
        -v ow="$(column 1 "$work/ours")" -v sw="$(column 1 "$work/sox")" \
        -v oc="$(column 2 "$work/ours")" -v sc="$(column 2 "$work/sox")" 'BEGIN {
        printf "%-5s %8.0f %8.0f %10.0f %10.0f %8.2f %10.0f %10.0f %8.2f  %s\n", k, i, e, ow, sw,
            ow / sw, oc, sc, oc / sc, (ow <= sw ? "met" : "MISSED") }'
done
echo "(ours: import into a take, then export of the whole take; sox: read and write the file)"
