// One host pattern of the generator: its takes and the active-take list that
// says which take is heard over which stretch.
//
// Locking: none of these operations takes the machine's lock. Whoever calls
// them from outside the audio block (host notifications, editor commands)
// holds it (mi::lockAudio); recording calls them from inside the block, where
// it is already held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "generator/model/PatternOverview.h"
#include "generator/model/Take.h"
#include "hostsdk/Handles.h"

namespace spoolex {

class mi;

// The take heard from startTick up to the next entry's startTick (the last
// entry covers everything after it); none is silence.
struct ActiveTakeEntry {
    double startTick = 0.0;
    Take* take = nullptr;

    bool operator==(const ActiveTakeEntry& other) const {
        return startTick == other.startTick && take == other.take;
    }
};

class Pattern {
public:
    Pattern(mi& machine, CPattern* hostPattern, int32_t length);
    // A deep copy of source's takes, with its active-take list naming the
    // copies.
    Pattern(mi& machine, CPattern* hostPattern, const Pattern& source);
    Pattern(const Pattern&) = delete;
    Pattern& operator=(const Pattern&) = delete;

    mi* machine;
    CPattern* hostPattern; // null until the host announces a restored pattern
    int32_t length = 0;    // ticks
    // Owned; the position is the take's index (song data, editor rows).
    std::vector<std::shared_ptr<Take>> takes;
    // Ascending startTick, first at 0.0, never empty (see tidyActiveTakes).
    std::vector<ActiveTakeEntry> activeTakes;
    PatternOverview overview;

    // A new empty take at the host's current sample rate, appended.
    Take& addTake();
    // Unlinks take from the take list (an import into it failed). Entries
    // naming it fall silent so none is left pointing at it. The result holds
    // the take: the caller drops it after releasing the lock, so a large
    // take is never freed under it, or keeps it.
    std::shared_ptr<Take> discardTake(Take& take);
    // Silences every entry naming take, tidies, re-seeks the players and
    // unlinks it. The result is the unlinked take: drop it after releasing
    // the lock; a player fading it out keeps it alive until it finishes.
    std::shared_ptr<Take> removeTake(Take& take);
    int32_t takeIndex(const Take& take) const;
    // The take at index, or none for an index outside the list.
    Take* takeAt(int32_t index) const;

    void setLength(int32_t ticks);
    // Makes take (or none) active over [t0, t1). Callers then run
    // tidyActiveTakes, mi::resyncPlayers and invalidateOverview.
    void assignTake(double t0, double t1, Take* take);
    void tidyActiveTakes();
    void invalidateOverview();
    // After a change of a take's samples or of the take list.
    void notifyPatternChanged();

    // Index of the entry containing tick: the last one starting at or before
    // it, the first one for ticks before 0.
    size_t entryContaining(double tick) const;

private:
    // Sets every entry naming take to none; true if there was one.
    bool silenceTake(const Take* take);
    std::shared_ptr<Take> unlinkTake(const Take& take);
};

} // namespace spoolex
