#include "host/WaveCommands.h"

#include <cstdlib>
#include <fstream>

#include "host/SongDocument.h"
#include "host/Wavetable.h"

namespace host {

namespace {

bool parseSlot(const std::string& text, int lowest, int& slot) {
    char* end = nullptr;
    long value = std::strtol(text.c_str(), &end, 0);
    if (text.empty() || *end != 0 || value < lowest || value > Wavetable::slotCount)
        return false;
    slot = static_cast<int>(value);
    return true;
}

int fail(std::FILE* out, const std::string& why) {
    std::fprintf(out, "%s\n", why.c_str());
    return 1;
}

// The song and its wavetable; a song file that does not exist yet is empty.
bool open(const std::string& path, SongDocument& song, Wavetable& table, std::string& error) {
    if (std::ifstream(path, std::ios::binary).good() && !loadSongFile(path, song, error))
        return false;
    if (!table.loadFrom(song, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool save(const std::string& path, SongDocument& song, const Wavetable& table, std::string& error) {
    table.saveInto(song);
    return saveSongFile(path, song, error);
}

} // namespace

int waveLoadCommand(const std::string& songPath, const std::string& slotText,
                    const std::string& wavPath, std::FILE* out) {
    int slot = 0;
    if (!parseSlot(slotText, 1, slot))
        return fail(out, "wave slots are 1 to 200, not " + slotText);
    SongDocument song;
    Wavetable table;
    std::string error;
    if (!open(songPath, song, table, error) ||
        !waveFromWavFile(table, slot, wavPath, static_cast<int>(song.sampleRate), error) ||
        !save(songPath, song, table, error))
        return fail(out, error);
    std::fprintf(out, "wave %02X: %s\n", slot, table.name(slot));
    return 0;
}

int waveSelectCommand(const std::string& songPath, const std::string& slotText, std::FILE* out) {
    int slot = 0;
    if (!parseSlot(slotText, 0, slot))
        return fail(out, "wave slots are 0 (none) to 200, not " + slotText);
    SongDocument song;
    Wavetable table;
    std::string error;
    if (!open(songPath, song, table, error))
        return fail(out, error);
    table.select(slot);
    if (!save(songPath, song, table, error))
        return fail(out, error);
    return 0;
}

int waveSaveCommand(const std::string& songPath, const std::string& slotText,
                    const std::string& wavPath, std::FILE* out) {
    int slot = 0;
    if (!parseSlot(slotText, 1, slot))
        return fail(out, "wave slots are 1 to 200, not " + slotText);
    SongDocument song;
    Wavetable table;
    std::string error;
    if (!loadSongFile(songPath, song, error) || !table.loadFrom(song, error) ||
        !waveToWavFile(table, slot, wavPath, error))
        return fail(out, error);
    return 0;
}

} // namespace host
