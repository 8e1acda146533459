// Records of the host's wavetable, as the host hands them out. Only the
// fields the machines use are declared.
#pragma once

#include <cstdint>

enum WaveFlags : int32_t { WaveFlagExtended = 4, WaveFlagStereo = 8 };

struct CWaveInfo {
    int32_t flags;
};

struct CWaveLevel {
    int32_t numSamples;
    int16_t* samples; // 16-bit data, or an 8-byte header and extended data
    int32_t samplesPerSec;
    int32_t loopEnd;
};
