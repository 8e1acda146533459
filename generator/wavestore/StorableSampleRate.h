// The sample rates a take may have: the take store keeps these and no
// others, so audio at any other rate would change its speed after the song
// is saved and loaded again (and a rate of 0 plays nothing).
#pragma once

#include <cstdint>

namespace spoolex {

constexpr int64_t lowestStorableSampleRate = 1000;
constexpr int64_t highestStorableSampleRate = 1536000;

inline bool isStorableSampleRate(int64_t rate) {
    return rate >= lowestStorableSampleRate && rate <= highestStorableSampleRate;
}

} // namespace spoolex
