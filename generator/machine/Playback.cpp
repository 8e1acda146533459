// The playback side of the machine: the audio block and the requests that
// start and stop pattern players.
#include <algorithm>
#include <cmath>
#include <functional>
#include <new>

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
        retire(releasedInBlock);
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
            patternPlayerPool.release(std::move(it->second), releasedInBlock);
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

std::vector<std::pair<const void*, std::shared_ptr<PatternPlayer>>>::iterator
mi::findPatternPlayer(const void* key) noexcept {
    auto it = std::lower_bound(
        patternPlayers.begin(), patternPlayers.end(), key,
        [](const auto& entry, const void* k) { return std::less<const void*>()(entry.first, k); });
    return it != patternPlayers.end() && it->first == key ? it : patternPlayers.end();
}

void mi::stopSequence(const void* key, Released& released) noexcept {
    auto it = findPatternPlayer(key);
    if (it == patternPlayers.end())
        return;
    stopPatternPlayer(*it->second);
    takePlayerPool.release(std::move(it->second->current), released);
    patternPlayerPool.release(std::move(it->second), released);
    patternPlayers.erase(it);
}

void mi::startPatternPlayer(const void* key, Pattern& pattern, double start, double end) noexcept {
    if (patternPlayers.size() == patternPlayers.capacity()) {
        // More sequences than prepared for: the one allocation left.
        try {
            patternPlayers.reserve(2 * patternPlayers.size() + 8);
        } catch (const std::bad_alloc&) {
            return;
        }
    }
    std::shared_ptr<PatternPlayer> player = patternPlayerPool.acquire();
    if (!player)
        return;
    player->start(pattern, start, end);
    auto at = std::lower_bound(
        patternPlayers.begin(), patternPlayers.end(), key,
        [](const auto& entry, const void* k) { return std::less<const void*>()(entry.first, k); });
    patternPlayers.insert(at, {key, std::move(player)});
}

void mi::prepareAudioStorage() {
    // Each playing pattern sounds one take and fades out another; room for
    // a few changes each between two visits of the user-interface side.
    const size_t patterns = patternsByHandle.size() + 1;
    takePlayerPool.prepare(4 * patterns + 16);
    if (takePlayers.capacity() < 4 * patterns + 64)
        takePlayers.reserve(4 * patterns + 64);
    // One pattern player per sequence; a host has rarely more sequences
    // than patterns.
    patternPlayerPool.prepare(patterns + 8);
    if (patternPlayers.capacity() < patterns + 16)
        patternPlayers.reserve(2 * (patterns + 16));
    // Recordings: a take object each, and room in its pattern's take list.
    // Enough for a start a second while the user-interface side is busy
    // with a long edit.
    if (spareTakes.capacity() < 2 * readyTakes)
        spareTakes.reserve(2 * readyTakes);
    while (spareTakes.size() < readyTakes)
        spareTakes.push_back(std::make_shared<Take>());
    // A punch adds at most two active-take entries.
    for (auto& entry : patternsByHandle) {
        std::vector<std::shared_ptr<Take>>& takes = entry.second->takes;
        if (takes.capacity() - takes.size() < readyTakes)
            takes.reserve(takes.size() + 2 * readyTakes);
        std::vector<ActiveTakeEntry>& active = entry.second->activeTakes;
        if (active.capacity() - active.size() < 2 * readyTakes)
            active.reserve(active.size() + 4 * readyTakes);
    }
}

void mi::retire(Released& released) noexcept {
    for (std::shared_ptr<void>& item : released) {
        if (retired.size() == retired.capacity())
            break;
        retired.push_back(std::move(item));
    }
    // Only what did not fit is left (and freed by the caller).
    released.erase(std::remove(released.begin(), released.end(), nullptr), released.end());
}

void mi::keepHouse() {
    // Everything that allocates is made before the hold: an empty list of
    // the same room to trade for the retired one, and the take objects.
    Released freed;
    freed.reserve(retiredRoom);
    size_t missing;
    {
        std::lock_guard<std::mutex> hold(audioLock);
        missing = readyTakes - std::min(spareTakes.size(), readyTakes);
    }
    std::vector<std::shared_ptr<Take>> fresh;
    fresh.reserve(missing);
    for (size_t i = 0; i < missing; ++i)
        fresh.push_back(std::make_shared<Take>());
    {
        std::lock_guard<std::mutex> hold(audioLock);
        retired.swap(freed);
        for (std::shared_ptr<Take>& take : fresh)
            if (spareTakes.size() < spareTakes.capacity())
                spareTakes.push_back(std::move(take));
    }
    // freed (and any take not needed after all) goes here, off the audio
    // thread and outside the lock.
    readyRecordingBuffers();
    mapRecordingAhead();
}

void mi::prepareForAudio() {
    std::lock_guard<std::mutex> hold(audioLock);
    prepareAudioStorage();
}

void mi::resyncPlayers(Pattern& pattern) noexcept {
    for (auto& entry : patternPlayers)
        if (entry.second->pattern == &pattern)
            entry.second->seek();
}

void miex::onPatternPlay(CPattern* handle, CSequence* sequence, int offsetTicks) {
    guardSlot(owner->callbacks, outOfMemory, [&] {
        // Asked before the lock: host services are never called under it.
        const bool hostRecording = (owner->callbacks->hostStateFlags() & HostStateRecording) != 0;
        bool started = true;
        {
            std::lock_guard<std::mutex> hold(owner->audioLock);
            owner->stopSequence(sequence, owner->releasedInPlay);
            auto found = owner->patternsByHandle.find(handle);
            if (handle && found != owner->patternsByHandle.end()) {
                owner->startPatternPlayer(sequence, *found->second,
                                          static_cast<double>(offsetTicks), neverTick);
                started =
                    owner->startRecording(sequence, *found->second, offsetTicks, hostRecording);
            }
            owner->retire(owner->releasedInPlay);
        }
        owner->releasedInPlay.clear();
        if (!started)
            owner->callbacks->hostMessage(recordingOutOfMemory);
    });
}

void mi::togglePreview(Pattern* pattern, double selStart, double selEnd) {
    Released released;
    std::lock_guard<std::mutex> hold(audioLock);
    if (findPatternPlayer(previewKey) != patternPlayers.end()) {
        stopSequence(previewKey, released);
    } else if (pattern) {
        prepareAudioStorage();
        startPatternPlayer(previewKey, *pattern, selStart, selEnd > selStart ? selEnd : neverTick);
    }
}

} // namespace spoolex
