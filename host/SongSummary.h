// What a song holds, in words for the user: its timing and length, and for
// each pattern of a generator its length, takes and active takes beside the
// report the machine's own Info command shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/SavedTakes.h"

namespace host {

class Host;
class HostMachine;

// "44100 Hz, 126 bpm, 4 ticks per beat; 32 ticks, 3.810 s"
std::string timingText(Host& host);

// Seconds that ticks last at the host's tempo.
double tickSeconds(Host& host, double ticks);

struct MachinePatterns {
    HostMachine* machine;
    std::vector<SavedPattern> patterns; // in the host's order of patterns
};

// The patterns of every machine with its own editor, read from its song data
// as the host would save it now.
std::vector<MachinePatterns> savedPatterns(Host& host);

// One pattern: length and each take, then the machine's report (which holds
// the active-take list). firstNew: the first take to mark as new (none by default).
std::string patternText(Host& host, HostMachine& machine, const SavedPattern& pattern,
                        size_t firstNew = SIZE_MAX);

// The whole song: timing, then each pattern of each machine with an editor;
// a song without one says so.
std::string songSummary(Host& host);

} // namespace host
