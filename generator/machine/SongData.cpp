#include "generator/machine/SongData.h"

#include <cmath>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "generator/machine/Machine.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/SongInput.h"
#include "generator/machine/UserInterface.h"
#include "generator/wavestore/RecordBytes.h"
#include "generator/wavestore/TakeRecordBatch.h"
#include "hostsdk/ByteOrder.h"

namespace spoolex {

namespace {

const char* const incompatibleSongData = "Korvane Spoolex got incompatible song data";
const char* const folderMismatch =
    "Spoolex wave path mismatch.\nIf you were trying to import a bmx, this isn't supported yet.";
const char* const songDataEnded =
    "An error occurred while loading pattern data for Korvane Spoolex.\n\nThe song data ended "
    "early or is damaged; the patterns and takes read before that point were kept.";

void writeText(CMachineDataOutput& out, const std::string& text) {
    out.write(text.c_str(), static_cast<int>(text.size() + 1));
}

void writeF64(CMachineDataOutput& out, double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    uint8_t b[8];
    byteorder::writeLe64(b, bits);
    out.write(b, 8);
}

// What one pattern is, taken under the lock: the takes stay alive through
// their shared ownership while they are encoded after it.
struct PatternSnapshot {
    std::string name;
    int32_t length;
    std::vector<std::shared_ptr<Take>> takes;
    std::vector<ActiveTakeEntry> activeTakes;
};

int32_t indexIn(const std::vector<std::shared_ptr<Take>>& takes, const Take* take) {
    for (size_t i = 0; i < takes.size(); ++i)
        if (takes[i].get() == take)
            return static_cast<int32_t>(i);
    return -1;
}

// A take whose stream could not be made is never lost in silence.
void reportUnsavedTake(mi& machine, const PatternSnapshot& pattern, size_t index) {
    std::string text = "Korvane Spoolex could not store take " + std::to_string(index) +
                       " of the pattern \"" + pattern.name +
                       "\" in the song: there was not enough memory to compress it. The song "
                       "holds an empty stream in its place; save again to keep it.";
    machine.callbacks->hostMessage(text.c_str());
}

// What is encoded for one take: the take itself, or, while the audio thread
// may write it, a copy taken in short holds of the lock. Null when even the
// copy did not fit.
std::shared_ptr<Take> stableTake(mi& machine, const std::shared_ptr<Take>& take) {
    if (!machine.isRecordingInto(*take))
        return take;
    auto stable = std::make_shared<Take>();
    try {
        stable->changeSamples() = machine.copyRecordingSamples(*take);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    stable->sampleRate = take->sampleRate;
    return stable;
}

// Every take record of the song, in song order, made at once on every core.
struct SongTakes {
    std::vector<std::shared_ptr<Take>> sources; // null: could not be copied
    std::vector<TakeRecordOut> records;
    size_t next = 0;

    SongTakes(mi& machine, const std::vector<PatternSnapshot>& patterns) {
        std::vector<Take*> takes;
        for (const PatternSnapshot& pattern : patterns)
            for (const std::shared_ptr<Take>& take : pattern.takes) {
                sources.push_back(stableTake(machine, take));
                if (sources.back())
                    takes.push_back(sources.back().get());
            }
        std::vector<TakeRecordOut> made = makeTakeRecords(takes);
        records.resize(sources.size());
        for (size_t i = 0, j = 0; i < sources.size(); ++i)
            if (sources[i])
                records[i] = std::move(made[j++]);
    }

    void writeNext(mi& machine, CMachineDataOutput& out, const PatternSnapshot& pattern,
                   size_t index) {
        const size_t at = next++;
        if (!sources[at]) {
            // A record with frames but no stream, as a failed encoding leaves.
            writeU8(out, TakeFormatWavPack);
            writeU32(out, 0);
            reportUnsavedTake(machine, pattern, index);
            return;
        }
        writeTakeRecord(records[at], out);
        if (!records[at].stored)
            reportUnsavedTake(machine, pattern, index);
    }
};

void writePattern(mi& machine, CMachineDataOutput& out, const PatternSnapshot& pattern,
                  SongTakes& takes) {
    writeU32(out, static_cast<uint32_t>(pattern.length));
    writeU32(out, static_cast<uint32_t>(pattern.takes.size()));
    for (size_t i = 0; i < pattern.takes.size(); ++i)
        takes.writeNext(machine, out, pattern, i);
    writeU32(out, static_cast<uint32_t>(pattern.activeTakes.size()));
    for (const ActiveTakeEntry& entry : pattern.activeTakes) {
        writeF64(out, entry.startTick);
        writeU32(out, static_cast<uint32_t>(entry.take ? indexIn(pattern.takes, entry.take) : -1));
    }
}

// Reads one pattern record into pattern. False when reading must stop.
bool readPattern(SongInput& in, int version, Pattern& pattern, TakeRecordReader& takes) {
    pattern.length = in.i32();
    if (version < 4)
        in.u32(); // a field older versions wrote and nothing reads
    int32_t takeCount = in.i32();
    pattern.takes.clear();
    std::vector<Take*> read;
    for (int32_t i = 0; i < takeCount && !in.exhausted(); ++i) {
        Take& take = pattern.addTake();
        read.push_back(&take);
        if (!takes.read(take, in))
            return false;
    }
    int32_t entryCount = in.i32();
    pattern.activeTakes.assign(1, ActiveTakeEntry{0.0, nullptr});
    for (int32_t i = 0; i < entryCount && !in.exhausted(); ++i) {
        double start = in.f64();
        int32_t index = in.i32();
        // A saved list ascends and its ticks are numbers; anything else is
        // damage, and must not reach the players.
        if (!std::isfinite(start) || start < pattern.activeTakes.back().startTick)
            continue;
        Take* take = index >= 0 && static_cast<size_t>(index) < read.size() ? read[index] : nullptr;
        pattern.activeTakes.push_back({start, take});
    }
    pattern.tidyActiveTakes();
    return !in.exhausted();
}

void adoptProjectFolder(const std::string& folder) {
    if (projectFolder().empty())
        projectFolder() = folder;
    else if (folder != projectFolder())
        userInterface().showMessage(nullptr, folderMismatch, "", MessageIcon::Error);
}

} // namespace

void saveSongData(mi& machine, CMachineDataOutput& out) {
    const std::vector<Pattern*> held = machine.patterns();
    std::vector<PatternSnapshot> patterns;
    {
        auto hold = machine.lockAudio();
        patterns.reserve(held.size());
        for (const Pattern* pattern : held)
            patterns.push_back({{}, pattern->length, pattern->takes, pattern->activeTakes});
    }
    for (size_t i = 0; i < held.size(); ++i) {
        const char* name = machine.callbacks->patternNameOf(held[i]->hostPattern);
        patterns[i].name = name ? name : "";
    }

    writeU8(out, 4);
    writeU8(out, songDataVersion);
    writeText(out, machine.savedRecordSourceName());
    writeText(out, projectFolder());
    const GridSettings& grid = machine.grid;
    writeU32(out, static_cast<uint32_t>(grid.coarseFactor));
    writeU32(out, static_cast<uint32_t>(grid.fineTicks));
    writeU32(out, grid.snapMode);
    SongTakes takes(machine, patterns);
    writeU32(out, static_cast<uint32_t>(patterns.size()));
    for (const PatternSnapshot& pattern : patterns) {
        writeText(out, pattern.name);
        writePattern(machine, out, pattern, takes);
    }
}

void loadSongData(mi& machine, CMachineDataInput& hostInput) {
    SongInput in(hostInput);
    in.u8(); // the leading byte carries nothing
    int version = in.u8();
    if (version > songDataVersion)
        machine.callbacks->hostMessage(incompatibleSongData);

    std::string sourceName;
    bool intact = in.text(sourceName);
    machine.nameRecordSource(sourceName);

    if (intact && version >= 3) {
        std::string folder;
        intact = in.text(folder);
        if (intact)
            adoptProjectFolder(folder);
    }
    if (intact && version >= 2) {
        int32_t coarse = in.i32(), fine = in.i32();
        uint32_t snap = in.u32();
        machine.grid = GridSettings{coarse, fine, snap};
        if (MachineEditor* editor = machine.editor())
            editor->showGrid();
    }

    int32_t patternCount = intact ? in.i32() : 0;
    // Decoded while the rest is read; published once all are whole.
    std::vector<std::pair<std::string, std::unique_ptr<Pattern>>> read;
    {
        TakeRecordReader takes(*machine.callbacks);
        for (int32_t i = 0; i < patternCount && intact && !in.exhausted(); ++i) {
            std::string name;
            if (!in.text(name))
                break;
            read.emplace_back(name, std::make_unique<Pattern>(machine, nullptr, 0));
            intact = readPattern(in, version, *read.back().second, takes);
        }
        takes.finish();
    }
    // A later pattern of the same name replaces an earlier one.
    for (auto& [name, pattern] : read)
        machine.keepAwaitingPattern(name, std::move(pattern));
    if (in.exhausted())
        machine.callbacks->hostMessage(songDataEnded);
}

} // namespace spoolex
