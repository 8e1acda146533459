// A take inside the song data: a format byte and, for a take with frames,
// a length-prefixed lossless stream of its samples.
#pragma once

#include <cstdint>
#include <vector>

#include "generator/model/Take.h"
#include "hostsdk/DataStreams.h"

class CMICallbacks;

namespace spoolex {

enum TakeFormat : uint8_t {
    TakeFormatEmpty = 0,
    TakeFormatWavPack = 1,
};

// Compresses interleaved stereo host-scale samples into one whole stream.
// The samples are only read (scaled in a copy), so playback may go on
// reading them; nothing may write them during the call. On failure the
// stream holds the bytes produced so far.
bool encodeTakeStream(const std::vector<float>& samples, int32_t sampleRate,
                      std::vector<uint8_t>& stream);

// Writes the take's whole record. The record is always complete and
// parseable, even when encoding failed.
bool encodeTake(const Take& take, CMachineDataOutput& out);

enum class TakeLoad {
    Loaded, // the take holds what its record says
    Failed, // reported through hostMessage; the next record follows as usual
    // The host's stream ran dry inside the record: what came was decoded
    // (and any problem reported); nothing useful follows, so the caller
    // stops reading the song data.
    InputEnded,
};

// Reads one whole take record into a take fresh from addTake. Problems are
// reported through the host's hostMessage. A loaded take gets the sample
// rate stored in its stream. A stream that decodes only in part leaves the
// take holding the frames that did decode.
TakeLoad decodeTake(Take& take, CMachineDataInput& in, CMICallbacks& host);

// A take record read whole without decoding its samples, for a tool that
// lists takes: its stream (empty for a take without frames) and the frames
// and rate the stream's headers give (0 when they cannot say; a take whose
// stream gives no rate plays at the host's).
struct TakeStream {
    std::vector<uint8_t> bytes;
    uint32_t frames = 0;
    int32_t sampleRate = 0;
};
TakeLoad readTakeStream(CMachineDataInput& in, TakeStream& stream, CMICallbacks& host);

// Decodes a stream read so into a fresh take, as decodeTake would.
TakeLoad decodeTakeStream(Take& take, const TakeStream& stream, CMICallbacks& host);

} // namespace spoolex
