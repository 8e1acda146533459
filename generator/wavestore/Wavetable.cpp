#include "generator/wavestore/Wavetable.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "generator/wavestore/Importer.h"
#include "generator/wavestore/WavCodec.h"
#include "hostsdk/HostServices.h"

namespace spoolex {

namespace {

constexpr int32_t extendedHeaderBytes = 8;
enum ExtendedCode : uint16_t { extendedFloat = 1, extendedInt32 = 2, extendedInt24 = 3 };

// Host memory is the machine's own byte order; memcpy keeps unaligned reads
// defined.
template <typename T> T at(const uint8_t* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

template <typename Read>
void convert(const uint8_t* data, size_t frames, bool stereo, size_t bytes, float* out, Read read) {
    for (size_t f = 0; f < frames; ++f) {
        const uint8_t* frame = data + f * bytes * (stereo ? 2 : 1);
        out[2 * f] = read(frame);
        out[2 * f + 1] = stereo ? read(frame + bytes) : out[2 * f];
    }
}

} // namespace

bool decodeWaveLevel(int32_t flags, const CWaveLevel& level, std::vector<float>& stereo) {
    const bool extended = (flags & WaveFlagExtended) != 0;
    const bool isStereo = (flags & WaveFlagStereo) != 0;
    int64_t frames = level.numSamples;
    if (extended)
        frames = (frames - extendedHeaderBytes) / 2;
    frames = std::max<int64_t>(frames, 0);
    std::vector<float> out;
    try {
        out.assign(static_cast<size_t>(frames) * 2, 0.0f);
    } catch (const std::bad_alloc&) {
        return false;
    }
    const auto* data = reinterpret_cast<const uint8_t*>(level.samples);
    const auto n = static_cast<size_t>(frames);
    if (n > 0 && !data)
        return false;
    if (!extended) {
        convert(data, n, isStereo, 2, out.data(),
                [](const uint8_t* p) { return static_cast<float>(at<int16_t>(p)); });
    } else if (n > 0) {
        const uint8_t* samples = data + extendedHeaderBytes;
        switch (at<uint16_t>(data)) {
        case extendedFloat:
            convert(samples, n, isStereo, 4, out.data(),
                    [](const uint8_t* p) { return at<float>(p) * 32768.0f; });
            break;
        case extendedInt32:
            convert(samples, n, isStereo, 4, out.data(), [](const uint8_t* p) {
                return static_cast<float>(at<int32_t>(p)) * 1.5258789e-5f;
            });
            break;
        case extendedInt24:
            convert(samples, n, isStereo, 3, out.data(), [](const uint8_t* p) {
                auto v = static_cast<int32_t>(uint32_t{p[0]} << 8 | uint32_t{p[1]} << 16 |
                                              uint32_t{p[2]} << 24);
                return static_cast<float>(v) * 0.00390625f * 0.00390625f;
            });
            break;
        default:
            break; // a sample code of some later host: silence of the wave's length
        }
    }
    stereo.swap(out);
    return true;
}

bool loadFromWavetable(Take& take, CMICallbacks& host, int slot) {
    const CWaveInfo* info = host.waveInfo(slot);
    if (!info)
        return false;
    const CWaveLevel* level = host.waveLevel(slot, 0);
    if (!level)
        return false;
    std::vector<float> samples;
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
            float x = f < present ? take.samples[2 * size_t{first + f} + channel] : 0.0f;
            uint8_t* out = data + (2 * size_t{f} + channel) * sampleBytes;
            if (asFloat) {
                float value = x * 3.0517578e-5f;
                std::memcpy(out, &value, 4);
            } else {
                int16_t value = wav::lowInt16Bits(x);
                std::memcpy(out, &value, 2);
            }
        }
    }
    return true;
}

} // namespace spoolex
