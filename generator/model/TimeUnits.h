// Time units shared by playback, recording, the editor and the stores.
// A tick is one host pattern row; a frame is one stereo sample pair of a take.
#pragma once

#include <cstdint>

#include "hostsdk/Timing.h"

namespace spoolex {

// Host samples per tick, in single precision from the timing record.
inline float samplesPerTick(const CMasterInfo& timing) {
    return singlePrecisionSamplesPerTick(timing);
}

inline double ticksPerSample(float samplesPerTickValue) {
    return 1.0 / static_cast<double>(samplesPerTickValue);
}

// Take frames that pass per host sample.
inline double rateRatio(int32_t takeSampleRate, int32_t hostSampleRate) {
    return static_cast<double>(takeSampleRate) / static_cast<double>(hostSampleRate);
}

// Take frame f sounds at pattern tick f / framesPerTick.
inline double framesPerTick(double rateRatioValue, float samplesPerTickValue) {
    return rateRatioValue * static_cast<double>(samplesPerTickValue);
}

// A tick or frame count from the render path as a whole number of samples:
// truncated toward zero, never negative, never past the int32 range, and 0
// for a value that is not a number (a broken timing record).
inline int32_t sampleCount(double samples) {
    if (!(samples > 0.0))
        return 0;
    if (samples >= 2147483647.0)
        return 2147483647;
    return static_cast<int32_t>(samples);
}

// The same for a position that may lie before the start: truncated toward
// zero, kept inside the int32 range, 0 for a value that is not a number.
inline int32_t samplePosition(double samples) {
    if (!(samples == samples))
        return 0;
    if (samples <= -2147483648.0)
        return INT32_MIN;
    if (samples >= 2147483647.0)
        return INT32_MAX;
    return static_cast<int32_t>(samples);
}

} // namespace spoolex
