#include "host/WaveCommands.h"

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "host/FileChecks.h"
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

int fail(const std::string& why) {
    std::fprintf(stderr, "spoolex-host: %s\n", why.c_str());
    return 1;
}

enum class Access { Read, Change, ChangeOrCreate };

// Reads the song (with ChangeOrCreate, an empty one when the file does not
// exist yet), runs job on its wavetable and, when it changes it, saves it
// back. A job that fails writes nothing, so a mistake never makes a file.
int withWavetable(const std::string& songPath, const std::string& slotText, int lowestSlot,
                  Access access,
                  const std::function<bool(SongDocument&, Wavetable&, int, std::string&)>& job) {
    int slot = 0;
    if (!parseSlot(slotText, lowestSlot, slot))
        return fail("wave slots are " + std::string(lowestSlot == 0 ? "0 (none)" : "1") +
                    " to 200, not " + slotText);
    SongDocument song;
    Wavetable table;
    std::string error;
    std::error_code status;
    const bool create = access == Access::ChangeOrCreate &&
                        std::filesystem::symlink_status(songPath, status).type() ==
                            std::filesystem::file_type::not_found;
    if (!create && !loadSongFile(songPath, song, error))
        return fail(error);
    if (!table.loadFrom(song, error))
        return fail(songPath + ": " + error);
    if (!job(song, table, slot, error))
        return fail(error);
    if (access != Access::Read) {
        table.saveInto(song);
        if (!saveSongFile(songPath, song, error))
            return fail(error);
    }
    return 0;
}

} // namespace

int waveLoadCommand(const std::string& songPath, const std::string& slotText,
                    const std::string& wavPath, std::FILE* out) {
    return withWavetable(
        songPath, slotText, 1, Access::ChangeOrCreate,
        [&](SongDocument& song, Wavetable& table, int slot, std::string& error) {
            if (!checkReadable(wavPath, error) ||
                !waveFromWavFile(table, slot, wavPath, static_cast<int>(song.sampleRate), error))
                return false;
            std::fprintf(out, "%s: wave %d is now %s\n", songPath.c_str(), slot, table.name(slot));
            return true;
        });
}

int waveSelectCommand(const std::string& songPath, const std::string& slotText, std::FILE* out) {
    return withWavetable(songPath, slotText, 0, Access::Change,
                         [&](SongDocument&, Wavetable& table, int slot, std::string& error) {
                             if (slot != 0 && !table.info(slot)) {
                                 error = "wave " + std::to_string(slot) +
                                         " is empty: wave-load fills it";
                                 return false;
                             }
                             table.select(slot);
                             if (slot == 0)
                                 std::fprintf(out, "%s: no wave selected\n", songPath.c_str());
                             else
                                 std::fprintf(out, "%s: wave %d (%s) selected\n", songPath.c_str(),
                                              slot, table.name(slot));
                             return true;
                         });
}

int waveSaveCommand(const std::string& songPath, const std::string& slotText,
                    const std::string& wavPath, std::FILE* out) {
    return withWavetable(songPath, slotText, 1, Access::Read,
                         [&](SongDocument&, Wavetable& table, int slot, std::string& error) {
                             if (!checkOutput(wavPath, {songPath}, error) ||
                                 !waveToWavFile(table, slot, wavPath, error))
                                 return false;
                             std::fprintf(out, "%s: wave %d (%s)\n", wavPath.c_str(), slot,
                                          table.name(slot));
                             return true;
                         });
}

} // namespace host
