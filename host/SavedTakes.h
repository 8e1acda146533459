// The takes a generator keeps, read from the song data it hands the host
// when the host saves: what info lists and export writes out. The host
// reads the data as any tool reads a saved song; the machine itself is not
// asked, so a command can look at a pattern's takes without its editor.
// Takes stay compressed until one is asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "generator/model/Take.h"
#include "generator/wavestore/TakeRecord.h"

class CMICallbacks;

namespace host {

struct SavedActiveEntry {
    double startTick = 0.0;
    int32_t take = -1; // position in the pattern's takes; -1: none
};

struct SavedPattern {
    std::string name;
    int32_t length = 0;
    std::vector<spoolex::TakeStream> takes;
    std::vector<SavedActiveEntry> active; // as saved, in ascending ticks
};

// Reads every pattern of the generator's song data. Problems are reported
// through services (the machine's own host services), as loading the song
// would report them. False with a reason when the data is not the
// generator's.
bool readSavedPatterns(const std::vector<uint8_t>& songData, CMICallbacks& services,
                       std::vector<SavedPattern>& patterns, std::string& error);

// The take's samples, decoded; false (reported through services) when its
// stream does not decode whole.
bool decodeSavedTake(const spoolex::TakeStream& stream, spoolex::Take& take,
                     CMICallbacks& services);

} // namespace host
