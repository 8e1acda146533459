// Players made ready outside the audio thread, so that starting a pattern
// or changing the active take never allocates while a block renders.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <vector>

#include "generator/machine/Players.h"

namespace spoolex {

// What a player lets go of before it is used again: its take (which may be
// the take's last reference) waits in released. A pattern player's current
// take player has gone back to its own pool by then.
inline void clearForReuse(TakePlayer& player, Released& released) noexcept {
    deferRelease(released, std::move(player.take));
    player = TakePlayer{};
}
inline void clearForReuse(PatternPlayer& player, Released& released) noexcept {
    deferRelease(released, std::move(player.current));
    player.pattern = nullptr;
}

// Every operation runs with the machine's lock held, and every holder of a
// player (the player lists, pattern players' current players) lives under
// that lock: players leave it only through release.
template <typename Player> class PlayerPool {
public:
    // Outside the audio thread: at least count players ready, and room to
    // take back twice as many without allocating.
    void prepare(size_t count) {
        if (spare.capacity() < 2 * count)
            spare.reserve(2 * count);
        while (spare.size() < count)
            spare.push_back(std::make_shared<Player>());
    }
    // A player in its starting state: a ready one, or, only when none is
    // left, a new one (none if that allocation fails).
    std::shared_ptr<Player> acquire() noexcept {
        if (!spare.empty()) {
            std::shared_ptr<Player> player = std::move(spare.back());
            spare.pop_back();
            return player;
        }
        try {
            return std::make_shared<Player>();
        } catch (const std::bad_alloc&) {
            return nullptr;
        }
    }
    // A holder lets go of player; the last holder hands it back for reuse.
    void release(std::shared_ptr<Player>&& player, Released& released) noexcept {
        if (!player)
            return;
        // Every holder lives under the lock, so dropping one of several
        // references frees nothing, and a count of one cannot grow.
        if (player.use_count() != 1) {
            player.reset();
            return;
        }
        if (spare.size() == spare.capacity()) {
            deferRelease(released, std::move(player));
            return;
        }
        clearForReuse(*player, released);
        spare.push_back(std::move(player));
    }
    size_t ready() const { return spare.size(); }

private:
    std::vector<std::shared_ptr<Player>> spare;
};

using TakePlayerPool = PlayerPool<TakePlayer>;
using PatternPlayerPool = PlayerPool<PatternPlayer>;

} // namespace spoolex
