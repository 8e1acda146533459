// The stand-in host's wavetable: 200 numbered wave slots, each with the wave
// info and level 0 records that the host services hand to machines, a name,
// and one of them selected.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "hostsdk/WaveTable.h"

namespace host {

struct SongDocument;

class Wavetable {
public:
    static constexpr int slotCount = 200;

    // Slots are numbered 1 to 200; anything else is an empty slot.
    const CWaveInfo* info(int slot) const;
    const CWaveLevel* level(int slot, int levelIndex) const;
    const char* name(int slot) const;
    // A fresh wave of size 16-bit values, zeroed, replacing the slot's wave:
    // mono 16-bit, sample count and loop end size, the song's sample rate.
    bool allocate(int slot, int size, const std::string& waveName, int sampleRate);
    void clear(int slot);

    int selected() const { return selectedSlot; }
    bool select(int slot);

    // Bytes of the slot's allocation (its level data), or empty.
    std::vector<uint8_t> data(int slot) const;

    void saveInto(SongDocument& song) const;
    // Replaces the whole table with the song's; false with a reason when a
    // wave's records promise more data than the song holds for it.
    bool loadFrom(const SongDocument& song, std::string& error);

private:
    struct Wave {
        CWaveInfo info{};
        CWaveLevel level{};
        std::string name;
        // 16-bit units, so extended data starts aligned for a machine.
        std::vector<int16_t> samples;
    };
    Wave* wave(int slot) const;

    std::array<std::unique_ptr<Wave>, slotCount> waves;
    int selectedSlot = 0;
};

// Level data of a wave as stereo samples in the host scale, and the reverse:
// a 16-bit file becomes a 16-bit wave, anything else a 32-bit float one.
bool waveFromWavFile(Wavetable& table, int slot, const std::string& path, int sampleRateFallback,
                     std::string& error);
bool waveToWavFile(const Wavetable& table, int slot, const std::string& path, std::string& error);

} // namespace host
