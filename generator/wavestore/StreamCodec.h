// What the take store's encoder and decoders share about the library and
// the stream's values (internal to the wave store).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include <wavpack/wavpack.h>

#include "hostsdk/Timing.h"

namespace spoolex {

constexpr int normalisedFloatExponent = 127; // ±1.0 is full scale

// Frames scaled and handed over per library call: a buffer that stays in
// the cache, however long the take.
constexpr uint32_t pieceFrames = 1u << 14;

// Float music compresses to about 0.2 frames per stream byte; only silence
// packs denser. A stream claiming more frames per byte than this is only
// believed as far as its frames really decode.
constexpr size_t plausibleFramesPerByte = 4;

struct ContextCloser {
    void operator()(WavpackContext* context) const { WavpackCloseFile(context); }
};
using Context = std::unique_ptr<WavpackContext, ContextCloser>;

// Library values (float bit patterns, normalised) to host-scale samples.
inline void scaleToHost(const int32_t* values, size_t count, float* out) {
    for (size_t i = 0; i < count; ++i) {
        float value;
        std::memcpy(&value, &values[i], sizeof value);
        out[i] = value * hostSampleScale;
    }
}

} // namespace spoolex
