#!/usr/bin/env bash
# Builds the song-data fuzzer with clang and the sanitizers, seeds it with
# real saved songs and runs it for a bounded time. Fails on any crash or leak.
# scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-45}"
build=build/fuzz
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
    -DCMAKE_C_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
    -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" -DCMAKE_MODULE_LINKER_FLAGS="$sanitizers" \
    -DSPOOLEX_FUZZ=ON -DSPOOLEX_BUILD_TESTS=OFF -DSPOOLEX_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target song_data_fuzzer fuzz_seed_songs
corpus="$build/corpus"
rm -rf "$corpus" && mkdir -p "$corpus"
"$build/fuzz/fuzz_seed_songs" "$corpus"
echo "== fuzzing song data for ${seconds}s"
"$build/fuzz/song_data_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -max_len=65536 -print_final_stats=0 "$corpus" 2>&1 | tail -n 5
status=${PIPESTATUS[0]}
[ "$status" -eq 0 ] && echo "fuzzing: no crash, leak or sanitizer report"
exit "$status"
