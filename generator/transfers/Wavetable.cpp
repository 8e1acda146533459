#include "generator/transfers/Wavetable.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "generator/transfers/Importer.h"
#include "generator/wavestore/StorableSampleRate.h"
#include "generator/wavestore/WavCodec.h"
#include "generator/wavestore/WaveLevel.h"
#include "hostsdk/HostServices.h"

namespace spoolex {

namespace {
constexpr int32_t extendedHeaderBytes = 8;
constexpr uint16_t extendedFloat = 1;
} // namespace

bool loadFromWavetable(Take& take, CMICallbacks& host, int slot) {
    const CWaveInfo* info = host.waveInfo(slot);
    if (!info)
        return false;
    const CWaveLevel* level = host.waveLevel(slot, 0);
    if (!level || !isStorableSampleRate(level->samplesPerSec))
        return false;
    Samples samples;
    if (!decodeWaveLevel(info->flags, *level, samples))
        return false;
    replaceTakeSamples(take, std::move(samples), level->samplesPerSec);
    return true;
}

bool exportToWavetable(const Take& take, CMICallbacks& host, unsigned slot, unsigned format,
                       uint32_t first, uint32_t end) {
    const auto takeFrames = static_cast<uint32_t>(std::min<size_t>(take.frameCount(), UINT32_MAX));
    if (end == wholeTake)
        end = takeFrames;
    if (end < first)
        return false;
    const uint32_t frames = end - first;
    const bool asFloat = format == static_cast<unsigned>(WavSampleFormat::Float32);
    if (!asFloat && format != static_cast<unsigned>(WavSampleFormat::Int16))
        return false;
    // The host counts in 32-bit signed sizes.
    const int64_t size = asFloat ? 4 * int64_t{frames} + 8 : 2 * int64_t{frames};
    const int64_t count = asFloat ? 2 * int64_t{frames} + 8 : int64_t{frames};
    if (size > INT32_MAX)
        return false;
    if (!host.allocateWave(static_cast<int>(slot), static_cast<int>(size), "Exported from Spoolex"))
        return false;
    // The host hands its records out for the machine to fill in.
    auto* info = const_cast<CWaveInfo*>(host.waveInfo(static_cast<int>(slot)));
    if (!info)
        return false;
    info->flags |= WaveFlagStereo | (asFloat ? WaveFlagExtended : 0);
    auto* level = const_cast<CWaveLevel*>(host.waveLevel(static_cast<int>(slot), 0));
    if (!level || (frames > 0 && !level->samples))
        return false;
    level->numSamples = static_cast<int32_t>(count);
    // The wave plays at the take's own rate, whatever the host's is.
    level->samplesPerSec = take.sampleRate;
    level->loopEnd = static_cast<int32_t>(count);
    auto* data = reinterpret_cast<uint8_t*>(level->samples);
    if (asFloat) {
        const uint16_t code = extendedFloat;
        std::memcpy(data, &code, sizeof code);
        data += extendedHeaderBytes;
    }
    // Only frames inside the take are read; the rest of the range is silence.
    const uint32_t present = first < takeFrames ? std::min(end, takeFrames) - first : 0;
    const size_t sampleBytes = asFloat ? 4 : 2;
    for (uint32_t f = 0; f < frames; ++f) {
        for (int channel = 0; channel < 2; ++channel) {
            float x = f < present ? take.samples()[2 * size_t{first + f} + channel] : 0.0f;
            uint8_t* out = data + (2 * size_t{f} + channel) * sampleBytes;
            if (asFloat) {
                float value = wav::toUnitFloat(x);
                std::memcpy(out, &value, 4);
            } else {
                int16_t value = wav::toInt16(x);
                std::memcpy(out, &value, 2);
            }
        }
    }
    return true;
}

} // namespace spoolex
