// Audio between takes and the host's wavetable (host services 0, 1, 10).
#pragma once

#include <cstdint>
#include <vector>

#include "generator/model/Take.h"
#include "generator/wavestore/WaveLevel.h"

class CMICallbacks;

namespace spoolex {

// An end frame that means "to the take's end".
constexpr uint32_t wholeTake = 0xFFFFFFFF;

// The wave in slot as the take's samples and sample rate. False when the slot
// has no wave or no level 0 (the take is unchanged then).
bool loadFromWavetable(Take& take, CMICallbacks& host, int slot);

// Frames first .. end - 1 of take into slot as "Exported from Spoolex", in
// format 0 (16-bit) or 1 (32-bit float, extended). Frames past the take's
// end are written as silence, so the wave is as long as the range asked
// for. False when the format is not one of the two, the range is reversed
// or too long for the host, or the host refuses the wave.
bool exportToWavetable(const Take& take, CMICallbacks& host, unsigned slot, unsigned format,
                       uint32_t first, uint32_t end);

} // namespace spoolex
