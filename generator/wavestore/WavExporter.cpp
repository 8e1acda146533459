#include <algorithm>
#include <vector>

#include "generator/wavestore/AlignedFileWriter.h"
#include "generator/wavestore/Exporter.h"
#include "generator/wavestore/WavCodec.h"

namespace spoolex {

bool WavExporter::exportRange(const Take& take, const std::string& path, uint32_t first,
                              uint32_t end) {
    if (!wav::isKnownFormat(format))
        return false;
    const auto takeFrames = static_cast<uint32_t>(std::min<size_t>(take.frameCount(), UINT32_MAX));
    end = std::min(end, takeFrames);
    first = std::min(first, end);
    const uint32_t frames = end - first;
    const size_t frameBytes = wav::bitsPerSample(format) / 8u * 2u;
    // The RIFF size fields are 32 bits wide.
    if (uint64_t{frames} * frameBytes > UINT32_MAX - wav::headerSize)
        return false;
    wav::AlignedFileWriter file(path);
    if (!file.isOpen())
        return false;
    uint8_t header[wav::headerSize];
    wav::writeHeader(format, static_cast<uint32_t>(take.sampleRate), frames, header);
    bool written = file.write(header, sizeof header);
    // Small enough to stay in the cache between encoding and writing.
    constexpr uint32_t blockFrames = 4096;
    std::vector<uint8_t> block(blockFrames * frameBytes);
    for (uint32_t done = 0; written && done < frames;) {
        uint32_t n = std::min(blockFrames, frames - done);
        wav::encodeSamples(format, take.samples().data() + 2 * size_t{first + done}, 2 * size_t{n},
                           block.data());
        written = file.write(block.data(), n * frameBytes);
        done += n;
    }
    return file.close() && written;
}

} // namespace spoolex
