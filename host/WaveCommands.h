// spoolex-host's wavetable jobs: each reads the song file, changes its
// wavetable and writes it back; wave-load makes the song when it does not
// exist yet. Each says what it did; errors go to the error stream.
#pragma once

#include <cstdio>
#include <string>

namespace host {

// Slots are 1 to 200, written in decimal or with 0x in hexadecimal.
// lowest: the first slot text may name (0 or 1).
bool parseSlot(const std::string& text, int lowest, int& slot);
int waveLoadCommand(const std::string& songPath, const std::string& slot,
                    const std::string& wavPath, std::FILE* out);
// 0 selects no wave.
int waveSelectCommand(const std::string& songPath, const std::string& slot, std::FILE* out);
int waveSaveCommand(const std::string& songPath, const std::string& slot,
                    const std::string& wavPath, std::FILE* out);

} // namespace host
