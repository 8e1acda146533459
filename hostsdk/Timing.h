// The host's timing record; the host owns it and stores its address in every
// machine before the first initialisation call.
#pragma once

#include <cstdint>

struct CMasterInfo {
    int32_t beatsPerMin;
    int32_t ticksPerBeat;
    int32_t samplesPerSec;
    int32_t samplesPerTick; // the host's rounded value; our code never uses it
    int32_t posInTick;
};

static_assert(sizeof(CMasterInfo) == 20, "host layout");

// Host samples per tick, always in single precision from the record's rate,
// tempo and ticks per beat: the host's own rounded integer would drift
// against the takes. Hosts and machines must agree on it to the bit.
inline float singlePrecisionSamplesPerTick(const CMasterInfo& timing) {
    return static_cast<float>(timing.samplesPerSec * 60) /
           static_cast<float>(timing.beatsPerMin * timing.ticksPerBeat);
}

// Full scale of the host's audio buffers, and of every sample in memory:
// normalised data is this many times smaller.
constexpr float hostSampleScale = 32768.0f;
