// The editor's changes of a take's samples, serialised with the audio thread.
// Buffers are built by the caller outside the machine's lock; these hold it
// only for the swap.
#pragma once

#include <cstdint>
#include <vector>

#include "generator/model/SampleBuffer.h"

namespace spoolex {
class mi;
struct Take;
} // namespace spoolex

// Whether the audio thread writes take now, or will once a queued recording
// starts. Takes the lock.
bool isRecorded(spoolex::mi& machine, const spoolex::Take& take);

// Installs buffer as take's samples (and sampleRate when it is above 0)
// under the lock. buffer receives the old samples: the caller frees them
// after, outside the lock. Players read the new length from their next
// block on, so none reads past a shortened take.
void swapSamples(spoolex::mi& machine, spoolex::Take& take, spoolex::Samples& buffer,
                 int32_t sampleRate = 0);
