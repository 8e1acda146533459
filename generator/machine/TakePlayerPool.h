// Take players made ready outside the audio thread, so that a change of the
// active take never allocates while a block renders.
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "generator/machine/Players.h"

namespace spoolex {

// Every operation runs with the machine's lock held, and every holder of a
// take player (the take-player list, pattern players' current players)
// lives under that lock: players leave it only through release.
class TakePlayerPool {
public:
    // Outside the audio thread: at least count players ready, and room to
    // take back twice as many without allocating.
    void prepare(size_t count);
    // A player in its starting state: a ready one, or, only when none is
    // left, a new one (none if that allocation fails).
    std::shared_ptr<TakePlayer> acquire() noexcept;
    // A holder lets go of player. The last holder hands it back for reuse;
    // its take, which may be the take's last reference, waits in released.
    void release(std::shared_ptr<TakePlayer>&& player, Released& released) noexcept;
    size_t ready() const { return spare.size(); }

private:
    std::vector<std::shared_ptr<TakePlayer>> spare;
};

} // namespace spoolex
