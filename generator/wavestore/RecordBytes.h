// Little-endian fields and length-prefixed byte runs on the host's streams.
//
// The host's input stream cannot say how much it holds, and a host reading
// past the end of a song delivers zeros or leaves the buffer as it was. So a
// length field never sizes an allocation beyond a bound: runs are read in
// bounded pieces into a zeroed buffer, and a whole piece of zeros, which no WavPack
// stream contains (every block opens with "wvpk" and is far shorter than a
// piece), means the stream has run dry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "hostsdk/DataStreams.h"

namespace spoolex {

// Largest piece read from the host at once. The fuzz build, which feeds
// the loader small inputs by the thousand, sets a smaller piece.
#ifndef SPOOLEX_RECORD_PIECE_BYTES
#define SPOOLEX_RECORD_PIECE_BYTES (size_t{1} << 20)
#endif
constexpr size_t recordPieceBytes = SPOOLEX_RECORD_PIECE_BYTES;
// Most reserved for a run before its bytes arrive (a minute of stereo music
// is about 14 MB, so twenty minutes arrive without the buffer growing and
// being copied). A damaged length costs at most this much address space,
// given back as soon as the run turns out short.
constexpr size_t recordReserveBytes = 256 * recordPieceBytes;

uint8_t readU8(CMachineDataInput& in);
uint32_t readU32(CMachineDataInput& in);
void writeU8(CMachineDataOutput& out, uint8_t value);
void writeU32(CMachineDataOutput& out, uint32_t value);

// Appends count bytes from in to bytes. Returns false, having stopped early,
// when a whole piece came back as zeros: the input has run dry.
bool readByteRun(CMachineDataInput& in, uint32_t count, std::vector<uint8_t>& bytes);

// Writes bytes in pieces the host's int-sized write accepts.
void writeByteRun(CMachineDataOutput& out, const std::vector<uint8_t>& bytes);

} // namespace spoolex
