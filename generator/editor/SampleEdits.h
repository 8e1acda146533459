// The frame arithmetic of the editing commands, and the new sample buffers
// they build. The buffers are built away from the audio lock; only the swap
// that installs one happens under it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "generator/model/SampleBuffer.h"

struct CMasterInfo;
namespace spoolex {
struct Take;
}

// A take's frames per pattern tick at the host's present timing.
double framesPerTickOf(const spoolex::Take& take, const CMasterInfo& timing);

// A tick position times frames per tick as a frame number: truncated toward
// zero into unsigned 32 bits. Negative values and NaN give 0; values beyond
// the range give its top rather than wrapping round to an early frame.
uint32_t frameAt(double frames);

// The frames a selection covers: first .. end (end excluded). The end is
// trunc(f x selEnd - 1), so the last frame under the selection stays out.
//
//   ticks   |selStart ........... selEnd|
//   frames  |first ......... end-1| end  (end not taken)
struct FrameRange {
    uint32_t first = 0;
    uint32_t end = 0;
};
FrameRange selectionFrames(double framesPerTick, double selStart, double selEnd);

// samples without frames first .. end-1 (end limited to the frame count).
spoolex::Samples withoutFrames(const spoolex::Samples& samples, size_t first, size_t end);

// samples with frames inserted at frame at; a take shorter than at frames is
// first filled up to it with silence. Throws std::bad_alloc when it cannot.
spoolex::Samples withInserted(const spoolex::Samples& samples, size_t at,
                              const std::vector<float>& frames);
