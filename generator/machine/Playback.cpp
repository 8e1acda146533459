// The playback side of the machine: the audio block and the requests that
// start and stop pattern players.
#include <algorithm>
#include <cmath>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "generator/machine/Machine.h"
#include "generator/machine/SlotGuard.h"
#include "generator/model/TimeUnits.h"

namespace spoolex {

namespace {

// Stands for the editor's preview in patternPlayers; no host handle can equal
// its address.
const char previewKeyObject = 0;
const void* const previewKey = &previewKeyObject;

// Values within this of zero do not count as sound.
constexpr float silenceThreshold = 0.1f;

// Whether any value lies beyond the threshold; stops at the first one.
bool holdsSound(const float* out, int count) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 magnitude = _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff));
    const __m128 threshold = _mm_set1_ps(silenceThreshold);
    for (; i + 16 <= count; i += 16) {
        __m128 loud = _mm_setzero_ps();
        for (int k = 0; k < 16; k += 4)
            loud = _mm_or_ps(
                loud, _mm_cmpgt_ps(_mm_and_ps(_mm_loadu_ps(out + i + k), magnitude), threshold));
        if (_mm_movemask_ps(loud))
            return true;
    }
#endif
    for (; i < count; ++i)
        if (std::fabs(out[i]) > silenceThreshold)
            return true;
    return false;
}

} // namespace

bool mi::renderStereo(float* /*in*/, float* out, int numSamples, int /*mode*/) noexcept {
    bool sounding;
    {
        std::lock_guard<std::mutex> hold(audioLock);
        sounding = renderBlock(out, numSamples);
    }
    releasedInBlock.clear();
    tellFinishedRecording();
    return sounding;
}

bool mi::renderBlock(float* out, int n) noexcept {
    if (source)
        processRecording(0, std::clamp(source->blockFrames, 0, InputMachine::blockCapacityFrames));
    if (n <= 0)
        return false;
    std::fill(out, out + 2 * n, 0.0f);
    const double tps = ticksPerSample(samplesPerTick(*masterInfo));
    const int32_t hostRate = masterInfo->samplesPerSec;

    for (auto it = patternPlayers.begin(); it != patternPlayers.end();) {
        PatternPlayer& player = *it->second;
        if (player.advance(takePlayers, takePlayerPool, n, tps, hostRate, releasedInBlock)) {
            ++it;
        } else {
            takePlayerPool.release(std::move(player.current), releasedInBlock);
            deferRelease(releasedInBlock, std::move(it->second));
            it = patternPlayers.erase(it);
        }
    }
    if (takePlayers.empty())
        return false;

    const float step = fadeStep;
    size_t kept = 0;
    for (size_t i = 0; i < takePlayers.size(); ++i) {
        std::shared_ptr<TakePlayer>& player = takePlayers[i];
        if (player->mix(out, n, step, rateRatio(player->take->sampleRate, hostRate))) {
            if (kept != i)
                takePlayers[kept] = std::move(player);
            ++kept;
        } else {
            takePlayerPool.release(std::move(player), releasedInBlock);
        }
    }
    takePlayers.resize(kept);
    // While a recording is punched in, the machine's own output is silent.
    if (source && recording.sequence && source->punchState)
        std::fill(out, out + 2 * n, 0.0f);
    return holdsSound(out, 2 * n);
}

std::vector<const TakePlayer*> mi::soundingTakePlayers() const {
    std::vector<const TakePlayer*> players;
    for (const auto& player : takePlayers)
        players.push_back(player.get());
    return players;
}

void mi::stopPatternPlayer(PatternPlayer& player) {
    if (player.current)
        player.current->sustainSamples = 0;
}

void mi::stopSequence(const void* key, Released& released) {
    auto it = patternPlayers.find(key);
    if (it == patternPlayers.end())
        return;
    stopPatternPlayer(*it->second);
    released.reserve(released.size() + 2);
    takePlayerPool.release(std::move(it->second->current), released);
    released.push_back(std::move(it->second));
    patternPlayers.erase(it);
}

void mi::preparePlayers() {
    // Each playing pattern sounds one take and fades out another; room for
    // a few changes each between two visits of the user-interface side.
    const size_t patterns = patternsByHandle.size() + 1;
    takePlayerPool.prepare(4 * patterns + 16);
    if (takePlayers.capacity() < 4 * patterns + 64)
        takePlayers.reserve(4 * patterns + 64);
}

void mi::resyncPlayers(Pattern& pattern) noexcept {
    for (auto& entry : patternPlayers)
        if (entry.second->pattern == &pattern)
            entry.second->seek();
}

void miex::onPatternPlay(CPattern* handle, CSequence* sequence, int offsetTicks) {
    guardSlot(owner->callbacks, outOfMemory, [&] {
        Released released;
        std::lock_guard<std::mutex> hold(owner->audioLock);
        owner->stopSequence(sequence, released);
        auto found = owner->patternsByHandle.find(handle);
        if (!handle || found == owner->patternsByHandle.end())
            return;
        owner->patternPlayers[sequence] = std::make_shared<PatternPlayer>(
            *found->second, static_cast<double>(offsetTicks), neverTick);
        owner->startRecording(sequence, *found->second, offsetTicks);
    });
}

void mi::togglePreview(Pattern* pattern, double selStart, double selEnd) {
    Released released;
    std::lock_guard<std::mutex> hold(audioLock);
    if (patternPlayers.count(previewKey)) {
        stopSequence(previewKey, released);
    } else if (pattern) {
        patternPlayers[previewKey] = std::make_shared<PatternPlayer>(
            *pattern, selStart, selEnd > selStart ? selEnd : neverTick);
        preparePlayers();
    }
}

} // namespace spoolex
