#!/usr/bin/env bash
# Times our WAV import and export of a 10-minute stereo file, 24-bit PCM and
# 32-bit float, against sox reading and writing the same file in the same
# format, in the same run. Target: ours (import + export) at most 1.0x sox.
#
# Usage: benchmarks/wav-transfer-vs-sox.sh [build folder] [runs]
#        (default build/default, 5 runs; the medians are compared)
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
runs="${2:-5}"
tool="$build/benchmarks/wav_transfer"
for program in "$tool" sox; do
    command -v "$program" >/dev/null || { echo "missing: $program" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

printf "10-minute stereo file, 44100 Hz; medians of %d runs, wall-clock ms\n" "$runs"
printf "%-8s %10s %10s %10s %10s %8s\n" "" "import" "export" "ours" "sox" "ratio"
for case in "24i -b 24" "32f -e float -b 32"; do
    read -r keyword options <<<"$case"
    # wavpcm: the plain format tags our importer reads (sox otherwise writes
    # 24-bit files in the extensible layout).
    sox -n -r 44100 -c 2 -t wavpcm $options "$work/in.wav" synth 600 pinknoise vol 0.5
    : >"$work/import" && : >"$work/export" && : >"$work/ours" && : >"$work/sox"
    for _ in $(seq "$runs"); do
        read -r import export < <("$tool" "$work/in.wav" "$work/ours.wav" "$keyword")
        echo "$import" >>"$work/import"
        echo "$export" >>"$work/export"
        echo "$import $export" | awk '{ print $1 + $2 }' >>"$work/ours"
        start=$(date +%s%N)
        sox -D "$work/in.wav" -t wavpcm $options "$work/sox.wav"
        echo $(( ($(date +%s%N) - start) / 1000000 )) >>"$work/sox"
        rm -f "$work/ours.wav" "$work/sox.wav"
    done
    awk -v k="$keyword" -v i="$(median <"$work/import")" -v e="$(median <"$work/export")" \
        -v o="$(median <"$work/ours")" -v s="$(median <"$work/sox")" 'BEGIN {
        printf "%-8s %10.1f %10.1f %10.1f %10.1f %8.2f  %s\n", k, i, e, o, s, o / s,
            (o <= s ? "met" : "MISSED") }'
done
echo "(ours: import into a take, then export of the whole take; sox: read and write the file)"
