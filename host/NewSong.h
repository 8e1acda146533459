// A song made from nothing: the generator and an input machine to record
// from, the patterns the user names and a sequence that plays them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace host {

struct NewPattern {
    std::string name;
    int ticks = 0;
};

struct NewPlay {
    std::string pattern;
    uint32_t tick = 0;
};

struct NewSongOptions {
    uint32_t sampleRate = 44100;
    uint32_t beatsPerMinute = 126;
    uint32_t ticksPerBeat = 4;
    std::vector<NewPattern> patterns; // none: one pattern "A" of 16 beats
    std::vector<NewPlay> plays;       // none: each pattern once, one after the other
};

// Writes the song to songPath, which must not exist yet, and prints what it
// holds.
int newSongCommand(const std::string& songPath, const NewSongOptions& options,
                   const std::string& gear, std::FILE* out);

} // namespace host
