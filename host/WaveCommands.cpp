#include "host/WaveCommands.h"

#include <cstdlib>
#include <fstream>
#include <functional>

#include "host/SongDocument.h"
#include "host/Wavetable.h"

namespace host {

bool parseSlot(const std::string& text, int lowest, int& slot) {
    // Decimal unless it starts with 0x: a leading zero is no octal mark.
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    char* end = nullptr;
    long value = std::strtol(digits.c_str(), &end, hex ? 16 : 10);
    if (digits.empty() || *end != 0 || digits[0] == '-' || digits[0] == '+' || value < lowest ||
        value > Wavetable::slotCount)
        return false;
    slot = static_cast<int>(value);
    return true;
}

namespace {

int fail(std::FILE* out, const std::string& why) {
    std::fprintf(out, "%s\n", why.c_str());
    return 1;
}

// Reads the song (an empty one when the file does not exist yet and the job
// writes it), runs job on its wavetable and, when it writes, saves it back.
int withWavetable(const std::string& songPath, const std::string& slotText, int lowestSlot,
                  bool writes, std::FILE* out,
                  const std::function<bool(SongDocument&, Wavetable&, int, std::string&)>& job) {
    int slot = 0;
    if (!parseSlot(slotText, lowestSlot, slot))
        return fail(out, "wave slots are " + std::string(lowestSlot == 0 ? "0 (none)" : "1") +
                             " to 200, not " + slotText);
    SongDocument song;
    Wavetable table;
    std::string error;
    bool exists = std::ifstream(songPath, std::ios::binary).good();
    if ((exists || !writes) && !loadSongFile(songPath, song, error))
        return fail(out, error);
    if (!table.loadFrom(song, error))
        return fail(out, songPath + ": " + error);
    if (!job(song, table, slot, error))
        return fail(out, error);
    if (writes) {
        table.saveInto(song);
        if (!saveSongFile(songPath, song, error))
            return fail(out, error);
    }
    return 0;
}

} // namespace

int waveLoadCommand(const std::string& songPath, const std::string& slotText,
                    const std::string& wavPath, std::FILE* out) {
    return withWavetable(
        songPath, slotText, 1, true, out,
        [&](SongDocument& song, Wavetable& table, int slot, std::string& error) {
            if (!waveFromWavFile(table, slot, wavPath, static_cast<int>(song.sampleRate), error))
                return false;
            std::fprintf(out, "wave %02X: %s\n", slot, table.name(slot));
            return true;
        });
}

int waveSelectCommand(const std::string& songPath, const std::string& slotText, std::FILE* out) {
    return withWavetable(
        songPath, slotText, 0, true, out,
        [](SongDocument&, Wavetable& table, int slot, std::string&) { return table.select(slot); });
}

int waveSaveCommand(const std::string& songPath, const std::string& slotText,
                    const std::string& wavPath, std::FILE* out) {
    return withWavetable(songPath, slotText, 1, false, out,
                         [&](SongDocument&, Wavetable& table, int slot, std::string& error) {
                             return waveToWavFile(table, slot, wavPath, error);
                         });
}

} // namespace host
