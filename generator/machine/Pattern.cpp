#include "generator/machine/Pattern.h"

#include <algorithm>
#include <unordered_map>

#include "generator/machine/Machine.h"

namespace spoolex {

Pattern::Pattern(mi& owner, CPattern* handle, int32_t ticks)
    : machine(&owner), hostPattern(handle) {
    activeTakes.push_back({0.0, nullptr});
    setLength(ticks);
}

Pattern::Pattern(mi& owner, CPattern* handle, const Pattern& source)
    : machine(&owner), hostPattern(handle), length(source.length) {
    std::unordered_map<const Take*, Take*> copies;
    takes.reserve(source.takes.size());
    for (const auto& original : source.takes) {
        auto copy = std::make_shared<Take>();
        copy->owner = this;
        copy->machine = machine;
        copy->copySamplesOf(*original);
        copies[original.get()] = copy.get();
        takes.push_back(std::move(copy));
    }
    activeTakes.reserve(source.activeTakes.size());
    for (const ActiveTakeEntry& entry : source.activeTakes) {
        auto found = copies.find(entry.take);
        activeTakes.push_back({entry.startTick, found == copies.end() ? nullptr : found->second});
    }
}

Take& Pattern::addTake(std::shared_ptr<Take> fresh) {
    std::shared_ptr<Take> take = fresh ? std::move(fresh) : std::make_shared<Take>();
    take->owner = this;
    take->machine = machine;
    if (machine->masterInfo)
        take->sampleRate = machine->masterInfo->samplesPerSec;
    takes.push_back(std::move(take));
    return *takes.back();
}

std::shared_ptr<Take> Pattern::unlinkTake(const Take& take) {
    auto it = std::find_if(takes.begin(), takes.end(),
                           [&](const std::shared_ptr<Take>& t) { return t.get() == &take; });
    if (it == takes.end())
        return nullptr;
    std::shared_ptr<Take> unlinked = std::move(*it);
    takes.erase(it);
    return unlinked;
}

bool Pattern::silenceTake(const Take* take) {
    bool found = false;
    for (ActiveTakeEntry& entry : activeTakes)
        if (entry.take == take) {
            entry.take = nullptr;
            found = true;
        }
    return found;
}

std::shared_ptr<Take> Pattern::discardTake(Take& take) {
    // A fresh take is named by no entry; should one name it anyway, it must
    // not keep a reference to a take that is about to go.
    if (silenceTake(&take)) {
        tidyActiveTakes();
        machine->resyncPlayers(*this);
    }
    return unlinkTake(take);
}

std::shared_ptr<Take> Pattern::removeTake(Take& take) {
    silenceTake(&take);
    tidyActiveTakes();
    machine->resyncPlayers(*this);
    return unlinkTake(take);
}

int32_t Pattern::takeIndex(const Take& take) const {
    for (size_t i = 0; i < takes.size(); ++i)
        if (takes[i].get() == &take)
            return static_cast<int32_t>(i);
    return -1;
}

Take* Pattern::takeAt(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= takes.size())
        return nullptr;
    return takes[static_cast<size_t>(index)].get();
}

size_t Pattern::entryContaining(double tick) const {
    auto after = std::upper_bound(
        activeTakes.begin(), activeTakes.end(), tick,
        [](double t, const ActiveTakeEntry& entry) { return t < entry.startTick; });
    return after == activeTakes.begin() ? 0 : static_cast<size_t>(after - activeTakes.begin()) - 1;
}

void Pattern::setLength(int32_t ticks) {
    // A negative length from the host would leave no entry at tick 0.
    length = std::max(ticks, 0);
    const auto end = static_cast<double>(length);
    auto cut = std::find_if(activeTakes.begin(), activeTakes.end(),
                            [&](const ActiveTakeEntry& entry) { return !(end > entry.startTick); });
    activeTakes.erase(cut, activeTakes.end());
    activeTakes.push_back({end, nullptr});
    tidyActiveTakes();
}

void Pattern::assignTake(double t0, double t1, Take* take) {
    // Entries before tick 0 would break the list's order.
    if (!(t0 >= 0.0))
        t0 = 0.0;
    if (!(t0 < t1))
        return;
    size_t a = entryContaining(t0);
    size_t b = entryContaining(t1);
    auto at = [&](size_t i) { return activeTakes.begin() + static_cast<std::ptrdiff_t>(i); };
    if (a != b) {
        size_t firstRemoved = activeTakes[a].startTick == t0 ? a : a + 1;
        activeTakes.erase(at(firstRemoved), at(b));
        b = firstRemoved;
        activeTakes[b].startTick = t1;
        activeTakes.insert(at(b), {t0, take});
    } else if (activeTakes[a].startTick == t0) {
        activeTakes[a].startTick = t1;
        activeTakes.insert(at(a), {t0, take});
    } else {
        Take* before = activeTakes[a].take;
        activeTakes.insert(at(a + 1), {{t0, take}, {t1, before}});
    }
}

void Pattern::tidyActiveTakes() {
    // One pass, compacting in place (a damaged song may bring thousands of
    // entries; erasing one at a time was quadratic). The entries kept so far
    // end in `top`; each next entry meets it:
    //   same take      the entry only continues top: dropped
    //   same tick      the later entry wins: top goes, and the entry meets
    //                  the one before it
    size_t kept = 0;
    for (size_t i = 0; i < activeTakes.size(); ++i) {
        const ActiveTakeEntry entry = activeTakes[i];
        while (kept > 0 && activeTakes[kept - 1].take != entry.take &&
               activeTakes[kept - 1].startTick == entry.startTick)
            --kept;
        if (kept > 0 && activeTakes[kept - 1].take == entry.take)
            continue;
        activeTakes[kept++] = entry;
    }
    activeTakes.resize(kept);
}

void Pattern::invalidateOverview() {
    // May run on the audio thread (a recording that ends): only marks it.
    overview.invalidate();
}

void Pattern::notifyPatternChanged() {
    invalidateOverview();
    if (MachineEditor* editor = machine->editor())
        editor->patternChanged(*this);
}

} // namespace spoolex
