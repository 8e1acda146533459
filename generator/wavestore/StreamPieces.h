// A long stream decoded on several threads at once.
//
// Every block of a stream decodes on its own, and names the frame it starts
// at. So runs of whole blocks can be decoded apart, each straight into its
// own frames of the take: the samples are the ones a single decoder gives.
//
//   stream   | block | block | block | block | block | block |
//   pieces   |    piece 0    |    piece 1    |    piece 2    |
//   frames   0 ............. a ............. b ........ total
//
// Only streams whose blocks lie one after another exactly as the encoder
// writes them are split; any other stream, and any piece that does not
// decode cleanly, is decoded whole on one thread, which is how damage is
// handled and reported.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace spoolex {

struct StreamPiece {
    size_t at = 0;   // first byte in the stream
    size_t size = 0; // bytes: whole blocks
    uint32_t firstFrame = 0;
    uint32_t frames = 0;
};

// Splits the stream into runs of whole blocks of about pieceBytes each. None
// when there would be fewer than two, or when the stream is not laid out as
// written; otherwise totalFrames is the stream's frame count.
std::vector<StreamPiece> splitStream(const uint8_t* stream, size_t size, size_t pieceBytes,
                                     uint32_t& totalFrames);

// What decoding one piece found out about the stream.
struct PieceFacts {
    uint32_t rate = 0;
    int floatExponent = 0;
};

// Decodes piece into its own frames of the take's samples (host scale),
// sized for the whole stream. False when anything is amiss.
bool decodePiece(const uint8_t* stream, const StreamPiece& piece, float* takeSamples,
                 PieceFacts& facts);

} // namespace spoolex
