// Feeds arbitrary bytes to the WAV importer as a file the user picked or an
// external editor saved. Whatever canImport accepts must import; any crash,
// leak, sanitizer report or runaway allocation fails.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "generator/transfers/Importer.h"
#include "generator/wavestore/StorableSampleRate.h"
#include "generator/wavestore/WavCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        std::filesystem::path folder = std::filesystem::exists("/dev/shm")
                                           ? std::filesystem::path("/dev/shm")
                                           : std::filesystem::temp_directory_path();
        return (folder / ("spoolex-wav-fuzz-" + std::to_string(::getpid()) + ".wav")).string();
    }();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    spoolex::WavImporter importer;
    spoolex::Take take;
    bool accepted = importer.canImport(path);
    if (accepted && !importer.importInto(take, path))
        __builtin_trap(); // accepted, unchanged file, yet not imported
    // A take never holds more frames than the file has bytes for.
    if (take.frameCount() > size)
        __builtin_trap();

    // The same bytes straight from memory must agree
    spoolex::wav::MemorySource memory(data, size);
    spoolex::wav::Layout layout;
    // (the importer also refuses rates a take cannot keep).
    if ((spoolex::wav::readLayout(memory, layout) &&
         spoolex::isStorableSampleRate(layout.format.sampleRate)) != accepted)
        __builtin_trap();
    std::remove(path.c_str());
    return 0;
}
