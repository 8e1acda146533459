// The stand-in host's song as plain data, and its file (docs/song-file.md).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace host {

struct SongMachine {
    std::string plugin; // file name without folder and ending
    uint32_t kind = 1;  // 1 generator, 2 effect
    std::string name;
    std::vector<int32_t> attributes;
    std::vector<uint8_t> songData;
};

struct SongPattern {
    uint32_t machine = 0;
    std::string name;
    int32_t length = 0;
};

struct SongEvent {
    uint32_t tick = 0;
    int32_t pattern = -1; // index into the song's patterns; -1 stops
};

struct SongSequence {
    uint32_t machine = 0;
    std::vector<SongEvent> events;
};

// One used slot of the host's wavetable, its level 0 as the host keeps it.
struct SongWave {
    uint32_t slot = 0; // 1 to 200
    std::string name;
    int32_t flags = 0;
    int32_t sampleCount = 0;
    int32_t sampleRate = 44100;
    int32_t loopEnd = 0;
    std::vector<uint8_t> data; // the level's whole allocation
};

struct SongDocument {
    uint32_t sampleRate = 44100;
    uint32_t beatsPerMinute = 126;
    uint32_t ticksPerBeat = 4;
    std::vector<SongMachine> machines;
    std::vector<SongPattern> patterns;
    std::vector<SongSequence> sequences;
    uint32_t selectedWave = 0;   // 0: none
    std::vector<SongWave> waves; // ascending slots

    // The tick at which the last sequenced pattern ends.
    uint32_t endTick() const;
};

std::vector<uint8_t> encodeSong(const SongDocument& song);
// False with a reason for a file that is not a well-formed song.
bool decodeSong(const std::vector<uint8_t>& bytes, SongDocument& song, std::string& error);

// Both false with a one-line reason, the system's where it refused.
bool saveSongFile(const std::string& path, const SongDocument& song, std::string& error);
bool loadSongFile(const std::string& path, SongDocument& song, std::string& error);

// Whether the file at path begins as a song file does.
bool holdsSong(const std::string& path);

} // namespace host
