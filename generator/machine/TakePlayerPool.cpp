#include "generator/machine/TakePlayerPool.h"

#include <algorithm>
#include <new>

namespace spoolex {

void TakePlayerPool::prepare(size_t count) {
    if (spare.capacity() < 2 * count)
        spare.reserve(2 * count);
    while (spare.size() < count)
        spare.push_back(std::make_shared<TakePlayer>());
}

std::shared_ptr<TakePlayer> TakePlayerPool::acquire() noexcept {
    if (!spare.empty()) {
        std::shared_ptr<TakePlayer> player = std::move(spare.back());
        spare.pop_back();
        return player;
    }
    try {
        return std::make_shared<TakePlayer>();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void TakePlayerPool::release(std::shared_ptr<TakePlayer>&& player, Released& released) noexcept {
    if (!player)
        return;
    // Every holder of a take player lives under the lock, so dropping one of
    // several references frees nothing, and a count of one cannot grow.
    if (player.use_count() != 1) {
        player.reset();
        return;
    }
    if (spare.size() == spare.capacity()) {
        deferRelease(released, std::move(player));
        return;
    }
    deferRelease(released, std::move(player->take));
    *player = TakePlayer{};
    spare.push_back(std::move(player));
}

} // namespace spoolex
