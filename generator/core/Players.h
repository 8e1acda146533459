// The players that turn active-take lists into sound. A pattern player walks
// one pattern's list in ticks and starts a take player for each entry; take
// players read their take and fade in and out.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "generator/core/Pattern.h"
#include "generator/core/Take.h"

namespace spoolex {

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
    bool mix(float* output, int n, float s, double rate);
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
    void seek();
    // Advances by n samples, appending a take player to takePlayers for each
    // entry that begins. A replaced current player goes to released so it is
    // freed outside the lock. False when the player has finished.
    bool advance(std::vector<std::shared_ptr<TakePlayer>>& takePlayers, int n,
                 double ticksPerSampleValue, int32_t hostSampleRate,
                 std::vector<std::shared_ptr<void>>& released);
};

} // namespace spoolex
