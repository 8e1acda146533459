#!/usr/bin/env bash
# Builds the fuzz targets with clang and the sanitizers, seeds them and runs
# each for a bounded time: the song-data reader (real saved songs as seeds),
# the stand-in host's song-file reader,
# the settings file reader (the example file as seed) and the WAV importer
# (short files from sox as seeds). Fails on any
# crash, leak or sanitizer report.
#   scripts/fuzz.sh [SECONDS]   fuzzing time shared by the targets (default 70)
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/common.sh
. scripts/common.sh
seconds="${1:-70}"
build=build/fuzz

require_command clang++ clang "run scripts/install-deps.sh as root first."
runtimes="$(clang++ -print-runtime-dir)"
for runtime in asan ubsan_standalone fuzzer; do
    [ -f "$runtimes/libclang_rt.$runtime-x86_64.a" ] ||
        fail "clang's $runtime runtime ($runtimes/libclang_rt.$runtime-x86_64.a) is missing: install Debian's libclang-rt-$(clang++ -dumpversion | cut -d. -f1)-dev (scripts/install-deps.sh does, as root)."
done

sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
# Inputs are a few kilobytes: the song-data reader gives up after 512 zero
# bytes instead of 256 KiB, and reads take streams in 4 KiB pieces instead of
# 1 MiB, so an input that ends early costs microseconds, not milliseconds.
limits="-DSPOOLEX_SONG_ZERO_RUN=512 -DSPOOLEX_RECORD_PIECE_BYTES=4096"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$sanitizers -fsanitize=fuzzer-no-link $limits" \
    -DCMAKE_C_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DCMAKE_MODULE_LINKER_FLAGS="$sanitizers" \
    -DSPOOLEX_FUZZ=ON -DSPOOLEX_BUILD_TESTS=OFF -DSPOOLEX_BUILD_BENCHMARKS=OFF >/dev/null ||
    fail "configuring the fuzz build with clang failed (CMake's message above names what it did not find)."
cmake --build "$build" -j "$(nproc)" --target song_data_fuzzer settings_fuzzer wav_import_fuzzer \
    song_file_fuzzer fuzz_seed_songs

corpus="$build/corpus"
rm -rf "$corpus" && mkdir -p "$corpus/songs" "$corpus/settings" "$corpus/wav" "$corpus/song-files"
"$build/fuzz/fuzz_seed_songs" "$corpus/songs"
cp "generator/settings/Korvane Spoolex settings.xml" "$corpus/settings/example.xml"
# Short WAV files as sox writes them, one per sample layout the importer takes.
for layout in "-b 16" "-b 24" "-b 32" "-e floating-point -b 32"; do
    # shellcheck disable=SC2086
    sox -n -r 8000 -c 2 $layout -t wavpcm "$corpus/wav/seed-${layout// /_}.wav" synth 0.01 sine 440 ||
        fail "sox could not write the WAV seeds (is the sox package installed?)."
done

status=0
# fuzz TARGET SECONDS CORPUS [OPTIONS...]
fuzz() {
    local target="$1" time="$2" seeds="$3"
    shift 3
    echo "== fuzzing with $target for ${time}s"
    "$build/fuzz/$target" -max_total_time="$time" -timeout=10 -rss_limit_mb=1024 \
        -print_final_stats=1 "$@" "$seeds" >"$build/$target.log" 2>&1 || {
        status=1
        tail -n 40 "$build/$target.log"
        return
    }
    grep -E '^#[0-9]+.*DONE|stat::number_of_executed_units|stat::peak_rss_mb' "$build/$target.log"
}
fuzz song_data_fuzzer $((seconds * 4 / 10)) "$corpus/songs" -max_len=8192
fuzz song_file_fuzzer $((seconds * 1 / 10)) "$corpus/song-files" -max_len=4096
fuzz settings_fuzzer $((seconds * 3 / 10)) "$corpus/settings" -max_len=4096 -dict=fuzz/settings.dict
fuzz wav_import_fuzzer $((seconds * 2 / 10)) "$corpus/wav" -max_len=4096
[ "$status" -eq 0 ] && echo "fuzzing: no crash, leak or sanitizer report"
exit "$status"
