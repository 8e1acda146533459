// The players that turn active-take lists into sound. A pattern player walks
// one pattern's list in ticks and starts a take player for each entry; take
// players read their take and fade in and out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "generator/machine/Pattern.h"
#include "generator/model/Take.h"

namespace spoolex {

// What an entry point lets go of while it holds the machine's lock: declared
// before the lock so that it is released after it, never under it.
using Released = std::vector<std::shared_ptr<void>>;

// Keeps item in released for dropping after the lock. Never allocates: a
// list that is full drops it at once, which the render path sizes to avoid.
inline void deferRelease(Released& released, std::shared_ptr<void> item) noexcept {
    if (released.size() < released.capacity())
        released.push_back(std::move(item));
}

class TakePlayerPool;

// "Never" for end and nextChangeTick.
constexpr double neverTick = 1e20;
constexpr int32_t unboundedSustain = 0x7fffffff;

enum class TakePlayerState : int32_t {
    Waiting = 0,
    FadeIn = 1,
    Full = 2,
    FadeOut = 3,
    Finished = 4
};

struct TakePlayer {
    // Shared: a take unlinked by removeTake lives until its last player goes.
    std::shared_ptr<Take> take;
    double position = 0.0; // take frame the next output sample reads
    int32_t delaySamples = 0;
    int32_t sustainSamples = unboundedSustain;
    TakePlayerState state = TakePlayerState::Waiting;
    float gain = 0.0f;

    // Mixes the next n output samples into output (2 * n values) with fade
    // step s; rate is the take's rate ratio. False once Finished.
    bool mix(float* output, int n, float s, double rate) noexcept;
};

struct PatternPlayer {
    PatternPlayer(Pattern& pattern, double start, double end);

    Pattern* pattern;
    double position; // ticks, at the start of the next block
    double end;
    double nextChangeTick = 0.0;
    size_t nextEntry = 0; // index into pattern->activeTakes
    std::shared_ptr<TakePlayer> current;

    // Makes the entry containing position begin at the next block's first
    // sample.
    void seek() noexcept;
    // Advances by n samples, appending a take player from pool to takePlayers
    // for each entry that begins. A replaced current player goes back to the
    // pool, or to released so it is freed outside the lock. False when the
    // player has finished.
    bool advance(std::vector<std::shared_ptr<TakePlayer>>& takePlayers, TakePlayerPool& pool, int n,
                 double ticksPerSampleValue, int32_t hostSampleRate, Released& released) noexcept;
};

} // namespace spoolex
