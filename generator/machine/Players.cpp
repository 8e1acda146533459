#include "generator/machine/Players.h"

#include <algorithm>
#include <cmath>

#include "generator/machine/TakePlayerPool.h"
#include "generator/model/TakeMixer.h"
#include "generator/model/TimeUnits.h"

namespace spoolex {

namespace {

int32_t fadeSamples(float remaining, float step) {
    return sampleCount(static_cast<double>(std::ceil(remaining / step)));
}

} // namespace

bool TakePlayer::mix(float* output, int n, float s, double rate) noexcept {
    const Take& source = *take;
    auto play = [&](int count, float g, float d) {
        mixTake(source, position, output, count, g, d, rate);
        position += count * rate;
        output += 2 * count;
    };
    switch (state) {
    case TakePlayerState::Waiting:
        if (n <= delaySamples) {
            delaySamples -= n;
            position += n * rate;
            return true;
        }
        position += delaySamples * rate;
        output += 2 * delaySamples;
        n -= delaySamples;
        state = TakePlayerState::FadeIn;
        [[fallthrough]];
    case TakePlayerState::FadeIn: {
        const int count = std::min(fadeSamples(1.0f - gain, s), n);
        play(count, gain, s);
        gain += static_cast<float>(count) * s;
        if (count >= n)
            return true;
        state = TakePlayerState::Full;
        gain = 1.0f;
        n -= count;
    }
        [[fallthrough]];
    case TakePlayerState::Full: {
        const int count = std::clamp(sustainSamples, 0, n);
        play(count, 1.0f, 0.0f);
        if (count >= n) {
            sustainSamples -= count;
            return true;
        }
        state = TakePlayerState::FadeOut;
        n -= count;
    }
        [[fallthrough]];
    case TakePlayerState::FadeOut: {
        const int count = std::min(fadeSamples(gain, s), n);
        play(count, gain, -s);
        gain -= static_cast<float>(count) * s;
        if (count < n)
            state = TakePlayerState::Finished;
        break;
    }
    case TakePlayerState::Finished:
        break;
    }
    return state != TakePlayerState::Finished;
}

PatternPlayer::PatternPlayer(Pattern& walked, double start, double stop)
    : pattern(&walked), position(start), end(stop) {
    seek();
}

void PatternPlayer::seek() noexcept {
    nextEntry = position < 0.0 ? 0 : pattern->entryContaining(position);
    nextChangeTick = position;
}

bool PatternPlayer::advance(std::vector<std::shared_ptr<TakePlayer>>& takePlayers,
                            TakePlayerPool& pool, int n, double tps, int32_t hostSampleRate,
                            Released& released) noexcept {
    double step = n * tps;
    bool finishing = false;
    if (position + step >= end) {
        step = end - position;
        finishing = true;
    }
    const std::vector<ActiveTakeEntry>& entries = pattern->activeTakes;
    while (position + step >= nextChangeTick) {
        const int32_t delay = sampleCount((nextChangeTick - position) / tps);
        if (current) {
            current->sustainSamples = delay;
            pool.release(std::move(current), released);
        }
        // Every edit re-seeks; an index past the list is only defensive.
        Take* take = nextEntry < entries.size() ? entries[nextEntry].take : nullptr;
        std::shared_ptr<TakePlayer> player = take ? pool.acquire() : nullptr;
        if (player) {
            player->take = take->shared_from_this();
            player->position = rateRatio(take->sampleRate, hostSampleRate) * (position / tps);
            player->delaySamples = delay;
            takePlayers.push_back(player);
            current = std::move(player);
        }
        ++nextEntry;
        nextChangeTick = nextEntry < entries.size() ? entries[nextEntry].startTick : neverTick;
        if (nextChangeTick > end)
            nextChangeTick = neverTick;
    }
    if (!finishing) {
        position += step;
        return true;
    }
    if (current)
        current->sustainSamples = sampleCount(step / tps);
    return false;
}

} // namespace spoolex
