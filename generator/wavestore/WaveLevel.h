// The sample data of a host wave level, as takes hold samples.
#pragma once

#include <cstdint>
#include <vector>

#include "generator/model/SampleBuffer.h"
#include "hostsdk/WaveTable.h"

namespace spoolex {

// Level data of a wave with info flags as stereo samples in the host scale.
// A mono wave fills both channels; an extended wave of an unknown sample
// code gives silence of its length; an extended wave of fewer than 8
// samples has no frames. False when the samples cannot be held.
bool decodeWaveLevel(int32_t flags, const CWaveLevel& level, Samples& stereo);

} // namespace spoolex
