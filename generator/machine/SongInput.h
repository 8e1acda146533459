// The host's song-data stream as the loader reads it.
//
// The host's stream cannot say how much it holds, and past its end a host
// delivers zeros or leaves the buffer alone. So every read lands in a zeroed
// buffer, and a long enough run of zero bytes, which no saved song holds
// (active-take lists never repeat an entry, and compressed streams are
// dense), means the data has run out. Counts and lengths are never trusted
// for an allocation: the loader stops at that point with what it read whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "hostsdk/DataStreams.h"

// The fuzz build, which feeds the loader small inputs by the thousand, sets
// a shorter run; the logic is the same.
#ifndef SPOOLEX_SONG_ZERO_RUN
#define SPOOLEX_SONG_ZERO_RUN (size_t{256} << 10)
#endif

namespace spoolex {

class SongInput final : public CMachineDataInput {
public:
    explicit SongInput(CMachineDataInput& host) : host(host) {}

    void read(void* buffer, int size) override;

    uint8_t u8();
    uint32_t u32();
    int32_t i32() { return static_cast<int32_t>(u32()); }
    double f64();
    // A zero-terminated text; false (stream damaged) when it runs past a
    // length no song writes.
    bool text(std::string& out);

    // The data has run out, or a text was impossibly long.
    bool exhausted() const { return zeroRun >= exhaustedAfterZeros || damaged; }

    static constexpr size_t exhaustedAfterZeros = SPOOLEX_SONG_ZERO_RUN;
    static constexpr size_t longestText = size_t{64} << 10;

private:
    CMachineDataInput& host;
    size_t zeroRun = 0;
    bool damaged = false;
};

} // namespace spoolex
