#include "generator/wavestore/WaveLevel.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "generator/wavestore/WavCodec.h"

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

bool decodeWaveLevel(int32_t flags, const CWaveLevel& level, Samples& stereo) {
    const bool extended = (flags & WaveFlagExtended) != 0;
    const bool isStereo = (flags & WaveFlagStereo) != 0;
    int64_t frames = level.numSamples;
    if (extended)
        frames = (frames - extendedHeaderBytes) / 2;
    frames = std::max<int64_t>(frames, 0);
    Samples out;
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
                    [](const uint8_t* p) { return wav::fromUnitFloat(at<float>(p)); });
            break;
        case extendedInt32:
            convert(samples, n, isStereo, 4, out.data(),
                    [](const uint8_t* p) { return wav::fromPcm32(at<int32_t>(p)); });
            break;
        case extendedInt24:
            convert(samples, n, isStereo, 3, out.data(), wav::fromPcm24);
            break;
        default:
            break; // a sample code of some later host: silence of the wave's length
        }
    }
    stereo.swap(out);
    return true;
}

} // namespace spoolex
