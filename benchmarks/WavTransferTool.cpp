// Imports a WAV file into a take and exports the take again, as the editor's
// import and the external editor round trip do, and prints how long each
// half took. wav-transfer-vs-sox.sh runs it beside sox.
//
// Usage: wav_transfer IN.wav OUT.wav 16i|24i|32i|32f
#include <chrono>
#include <cstdio>
#include <string>

#include "generator/model/Take.h"
#include "generator/wavestore/Exporter.h"
#include "generator/wavestore/FileSource.h"
#include "generator/wavestore/WavCodec.h"

namespace {

bool formatOf(const std::string& keyword, spoolex::WavSampleFormat& format) {
    const char* keywords[] = {"16i", "32f", "32i", "24i"};
    for (uint32_t code = 0; code < 4; ++code)
        if (keyword == keywords[code]) {
            format = static_cast<spoolex::WavSampleFormat>(code);
            return true;
        }
    return false;
}

double msSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

} // namespace

int main(int argc, char** argv) {
    spoolex::WavSampleFormat format;
    if (argc != 4 || !formatOf(argv[3], format)) {
        std::fprintf(stderr, "usage: wav_transfer IN.wav OUT.wav 16i|24i|32i|32f\n");
        return 2;
    }
    // The importer's own steps, without the machine a take would belong to.
    auto start = std::chrono::steady_clock::now();
    spoolex::wav::FileSource file(argv[1]);
    spoolex::wav::Layout layout;
    spoolex::Take take;
    if (!file.isOpen() || !spoolex::wav::readLayout(file, layout) ||
        !spoolex::wav::decodeAll(file, layout, take.changeSamples())) {
        std::fprintf(stderr, "cannot import %s\n", argv[1]);
        return 1;
    }
    take.sampleRate = static_cast<int32_t>(layout.format.sampleRate);
    double importMs = msSince(start);
    start = std::chrono::steady_clock::now();
    if (!spoolex::WavExporter(format).exportRange(take, argv[2], 0,
                                                  static_cast<uint32_t>(take.frameCount()))) {
        std::fprintf(stderr, "cannot export %s\n", argv[2]);
        return 1;
    }
    std::printf("%.1f %.1f\n", importMs, msSince(start));
    return 0;
}
