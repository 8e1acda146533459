// What starts, ends or hands over a recording, and the running recording
// itself.
#pragma once

#include <cstdint>
#include <memory>

#include "hostsdk/Handles.h"

namespace spoolex {

class Pattern;
struct Take;

struct RecordCommand {
    CSequence* sequence = nullptr; // the sequence whose pattern start began it; none stops
    int32_t dueOffset = 0;         // frames into the next input block before it takes effect
    Pattern* pattern = nullptr;
    // Shared, so a take removed from its pattern while recording is never
    // written after it is freed.
    std::shared_ptr<Take> take;
    int32_t writePosition = 0; // next frame of the take to write
    int32_t startPosition = 0; // the write position the recording began at

    bool recording() const { return sequence && pattern && take; }
};

} // namespace spoolex
