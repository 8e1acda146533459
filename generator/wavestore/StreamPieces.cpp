#include "generator/wavestore/StreamPieces.h"

#include <algorithm>
#include <cstring>

#include "generator/wavestore/MemoryReader.h"
#include "generator/wavestore/StreamCodec.h"
#include "hostsdk/ByteOrder.h"

namespace spoolex {

namespace {

constexpr size_t headerBytes = 32;

struct Block {
    size_t at = 0;
    size_t size = 0;
    uint32_t firstFrame = 0;
    uint32_t frames = 0;
};

// The stream's blocks when they cover it exactly, each a whole stereo
// block numbering its frames on from the one before, all agreeing on the
// total; empty otherwise.
std::vector<Block> wholeBlocks(const uint8_t* stream, size_t size, uint32_t& total) {
    std::vector<Block> blocks;
    uint64_t next = 0;
    size_t at = 0;
    while (at < size) {
        const uint8_t* header = stream + at;
        if (size - at < headerBytes || std::memcmp(header, "wvpk", 4) != 0)
            return {};
        const uint64_t blockSize = uint64_t{byteorder::readLe32(header + 4)} + 8;
        const uint32_t flags = byteorder::readLe32(header + 24);
        Block block{at, static_cast<size_t>(blockSize), byteorder::readLe32(header + 16),
                    byteorder::readLe32(header + 20)};
        // Bytes 10 and 11 widen the index and total beyond 32 bits: never
        // set in a stream a take can fill.
        const bool plain = header[10] == 0 && header[11] == 0 && block.frames > 0 &&
                           (flags & INITIAL_BLOCK) && (flags & FINAL_BLOCK);
        if (blockSize < headerBytes || blockSize > size - at || !plain ||
            block.firstFrame != next ||
            (!blocks.empty() && byteorder::readLe32(header + 12) != total))
            return {};
        total = byteorder::readLe32(header + 12);
        next += block.frames;
        blocks.push_back(block);
        at += block.size;
    }
    if (next != total || total > size * plausibleFramesPerByte)
        return {};
    return blocks;
}

} // namespace

std::vector<StreamPiece> splitStream(const uint8_t* stream, size_t size, size_t pieceBytes,
                                     uint32_t& totalFrames) {
    if (size < 2 * pieceBytes)
        return {};
    uint32_t total = 0;
    const std::vector<Block> blocks = wholeBlocks(stream, size, total);
    std::vector<StreamPiece> pieces;
    for (const Block& block : blocks) {
        if (pieces.empty() || pieces.back().size >= pieceBytes)
            pieces.push_back({block.at, 0, block.firstFrame, 0});
        pieces.back().size += block.size;
        pieces.back().frames += block.frames;
    }
    if (pieces.size() < 2)
        return {};
    totalFrames = total;
    return pieces;
}

bool decodePiece(const uint8_t* stream, const StreamPiece& piece, float* takeSamples,
                 PieceFacts& facts) {
    float* frames = takeSamples + 2 * size_t{piece.firstFrame};
    MemoryReader reader(stream + piece.at, piece.size);
    char error[80] = {};
    Context context(
        WavpackOpenFileInputEx(&MemoryReader::callbacks, &reader, nullptr, error, 0, 0));
    if (!context || WavpackGetNumChannels(context.get()) != 2 ||
        !(WavpackGetMode(context.get()) & MODE_FLOAT))
        return false;
    facts.rate = WavpackGetSampleRate(context.get());
    facts.floatExponent = WavpackGetFloatNormExp(context.get());
    std::vector<int32_t> values(size_t{pieceFrames} * 2);
    uint32_t done = 0;
    while (done < piece.frames) {
        const uint32_t wanted = std::min(piece.frames - done, pieceFrames);
        const uint32_t got = WavpackUnpackSamples(context.get(), values.data(), wanted);
        const auto count = static_cast<int32_t>(got * 2);
        if (facts.floatExponent != normalisedFloatExponent)
            WavpackFloatNormalize(values.data(), count,
                                  normalisedFloatExponent - facts.floatExponent);
        scaleToHost(values.data(), static_cast<size_t>(count), frames + 2 * size_t{done});
        done += got;
        if (got < wanted)
            return false;
    }
    return WavpackGetNumErrors(context.get()) == 0;
}

} // namespace spoolex
