#!/usr/bin/env bash
# Times our in-memory take encoding and decoding against the WavPack
# command-line tools (default mode) on the same 60-second stereo audio, saved
# for them as a 32-bit float WAV, and compares the compressed sizes.
# Targets: ours no slower than the tools, our stream at most 1% larger.
#
# Usage: benchmarks/compare-wavpack-tools.sh [build folder]  (default build/default)
# Uses hyperfine when installed, otherwise /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${1:-build/default}"
bench="$build/benchmarks/wavestore_benchmark"
runs=10
for tool in "$bench" wavpack wvunpack; do
    command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
"$bench" --write-wav "$work/take.wav"
"$bench" --write-stream "$work/ours.wv"
wavpack -q -y "$work/take.wav" -o "$work/tool.wv"

# Ours: medians of the repetitions, milliseconds of wall-clock and CPU time.
"$bench" --benchmark_repetitions="$runs" --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$work/ours.csv"
ours() { awk -F, -v name="\"$1/real_time_median\"" -v col="$2" '$1 == name { print $col }' \
    "$work/ours.csv"; }
ours_encode="$(ours EncodeTake60s 3)"
ours_decode="$(ours DecodeTake60s 3)"
ours_encode_cpu="$(ours EncodeTake60s 4)"
ours_decode_cpu="$(ours DecodeTake60s 4)"

# Tools: median wall-clock and mean user+system milliseconds per run.
tool_times() { # name command...
    local name="$1"
    shift
    if command -v hyperfine >/dev/null; then
        hyperfine --style none --warmup 1 --runs "$runs" --export-csv "$work/$name.csv" \
            "$*" >/dev/null
        awk -F, 'NR == 2 { printf "%.1f %.1f\n", $4 * 1000, ($5 + $6) * 1000 }' "$work/$name.csv"
    else
        for _ in $(seq "$runs"); do
            /usr/bin/time -f "%e %U %S" -a -o "$work/$name.times" "$@"
        done
        sort -n "$work/$name.times" |
            awk '{ wall[NR] = $1; cpu += $2 + $3 }
                 END { printf "%.1f %.1f\n", wall[int((NR + 1) / 2)] * 1000, cpu / NR * 1000 }'
    fi
}
read -r tool_encode tool_encode_cpu < <(tool_times encode wavpack -q -y "$work/take.wav" -o "$work/enc.wv")
read -r tool_decode tool_decode_cpu < <(tool_times decode wvunpack -q -y "$work/tool.wv" -o "$work/dec.wav")

ours_size="$(stat -c %s "$work/ours.wv")"
tool_size="$(stat -c %s "$work/tool.wv")"
raw_size="$(stat -c %s "$work/take.wav")"

awk -v oe="$ours_encode" -v te="$tool_encode" -v od="$ours_decode" -v td="$tool_decode" \
    -v oec="$ours_encode_cpu" -v tec="$tool_encode_cpu" -v odc="$ours_decode_cpu" \
    -v tdc="$tool_decode_cpu" -v os="$ours_size" -v ts="$tool_size" -v rs="$raw_size" 'BEGIN {
    printf "60 s stereo take, 44100 Hz, 32-bit float (%d bytes as WAV)\n", rs
    printf "%-8s %14s %14s %14s %14s %8s\n", "", "ours wall ms", "tool wall ms", "ours CPU ms", "tool CPU ms", "ratio"
    printf "%-8s %14.1f %14.1f %14.1f %14.1f %8.2f  %s\n", "encode", oe, te, oec, tec, oe / te, (oe <= te ? "met" : "MISSED")
    printf "%-8s %14.1f %14.1f %14.1f %14.1f %8.2f  %s\n", "decode", od, td, odc, tdc, od / td, (od <= td ? "met" : "MISSED")
    printf "size     ours %d bytes, wavpack default %d bytes: %+.3f%%  %s\n", os, ts, (os - ts) * 100.0 / ts, (os <= ts * 1.01 ? "met" : "MISSED")
    printf "(ratio: ours / tool, wall clock; the tools also read and write files)\n"
}'
