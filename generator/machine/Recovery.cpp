#include "generator/machine/Recovery.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <sstream>

#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "generator/machine/ProcessState.h"
#include "generator/machine/RecoveryStorage.h"
#include "generator/machine/RecoveryWriter.h"
#include "generator/machine/SongFingerprint.h"
#include "generator/machine/UserInterface.h"
#include "generator/wavestore/FileSource.h"
#include "generator/wavestore/WavCodec.h"

namespace spoolex {

namespace {

constexpr int64_t weekSeconds = 7 * 24 * 60 * 60;

bool endsWith(const std::string& text, const char* end) {
    size_t n = std::strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

std::string joined(RecoveryStorage& storage, const std::string& folder, const std::string& name) {
    char sep = storage.separator();
    if (!folder.empty() && (folder.back() == sep || folder.back() == '/'))
        return folder + name;
    return folder + sep + name;
}

std::vector<std::string> copyFolders(RecoveryStorage& storage) {
    std::vector<std::string> folders;
    if (!projectFolder().empty())
        folders.push_back(joined(storage, projectFolder(), "Spoolex recordings"));
    std::string user = storage.userFolder();
    if (!user.empty() && std::find(folders.begin(), folders.end(), user) == folders.end())
        folders.push_back(user);
    return folders;
}

bool readText(const std::string& path, std::string& text) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

void removeOldSavedCopies(RecoveryStorage& storage) {
    for (const std::string& folder : copyFolders(storage))
        for (const StoredFile& file : storage.listFolder(folder)) {
            if (!endsWith(file.name, ".txt") || file.ageSeconds < weekSeconds)
                continue;
            std::string text;
            RecordingNotes notes;
            const std::string path = joined(storage, folder, file.name);
            if (!readText(path, text) || !readRecordingNotes(text, notes) || !notes.saved)
                continue;
            storage.removeFile(joined(storage, folder, notes.audioFile));
            storage.removeFile(path);
        }
}

Pattern* patternNamed(mi& machine, const std::string& name) {
    // A waiting pattern is the song's own under that name: it wins.
    Pattern* found = machine.awaitingPattern(name);
    for (const auto& [known, pattern] : machine.namedPatterns())
        if (!found && known == name)
            found = pattern;
    return found;
}

// A copy becomes a new take of pattern, active where it was when recorded.
void addRecoveredTake(mi& machine, Pattern& pattern, const StoredRecording& copy,
                      Samples& samples) {
    std::shared_ptr<Take> added;
    {
        auto hold = machine.lockAudio();
        Take& take = pattern.addTake();
        take.changeSamples().swap(samples);
        take.sampleRate = copy.notes.sampleRate;
        for (const TickStretch& stretch : copy.notes.active) {
            double from = std::max(stretch.first, 0.0);
            double to = std::min(stretch.second, static_cast<double>(pattern.length));
            if (from < to)
                pattern.assignTake(from, to, &take);
        }
        pattern.tidyActiveTakes();
        machine.resyncPlayers(pattern);
        pattern.invalidateOverview();
        added = take.shared_from_this();
    }
    machine.recoveryCopies()->adoptRecovered(added, copy.notesPath);
}

void offerRecovery(mi& machine, RecoveryStorage& storage) {
    if (machine.songDataFingerprint() == noSongData)
        return;
    const std::string name = machine.hostMachineName();
    std::vector<std::pair<StoredRecording, Pattern*>> offered;
    for (StoredRecording& copy : findStoredRecordings(storage)) {
        if (copy.notes.saved || copy.notes.songData != machine.songDataFingerprint() ||
            copy.notes.machine != name)
            continue;
        // A pattern the song does not hold any more: the file stays for an
        // import by hand.
        if (Pattern* pattern = patternNamed(machine, copy.notes.pattern))
            offered.push_back({std::move(copy), pattern});
    }
    if (offered.empty())
        return;
    std::sort(offered.begin(), offered.end(), [](const auto& a, const auto& b) {
        return a.first.notes.started < b.first.notes.started;
    });
    std::string text = "Korvane Spoolex found recordings that were made after this song was last "
                       "saved and are not in it:\n\n";
    for (const auto& [copy, pattern] : offered) {
        const double length = static_cast<double>(std::max<int64_t>(
                                  copy.framesInFile - copy.notes.writePosition, 0)) /
                              copy.notes.sampleRate;
        char tick[32];
        std::snprintf(tick, sizeof tick, "%g", copy.notes.startTick);
        text += "\"" + copy.notes.pattern + "\" from tick " + tick + ", " + seconds(length) +
                " seconds, recorded " + copy.notes.started + "\n";
    }
    text += "\nAdd them to their patterns as new takes?";
    if (!userInterface().askYesNo(text, machineName))
        return; // offered again the next time this song loads
    for (auto& [copy, pattern] : offered) {
        Samples samples;
        std::string error;
        try {
            if (!readRecordingCopy(copy, samples, error)) {
                machine.callbacks->hostMessage(("Korvane Spoolex could not read the recording " +
                                                copy.audioPath + ": " + error)
                                                   .c_str());
                continue;
            }
        } catch (const std::bad_alloc&) {
            machine.callbacks->hostMessage(("Korvane Spoolex has not enough memory to read the "
                                            "recording " +
                                            copy.audioPath)
                                               .c_str());
            continue;
        }
        addRecoveredTake(machine, *pattern, copy, samples);
    }
    machine.callbacks->markSongModified();
}

} // namespace

std::string recordingsFolder(RecoveryStorage& storage) {
    return projectFolder().empty() ? storage.userFolder()
                                   : joined(storage, projectFolder(), "Spoolex recordings");
}

std::vector<StoredRecording> findStoredRecordings(RecoveryStorage& storage) {
    std::vector<StoredRecording> found;
    for (const std::string& folder : copyFolders(storage)) {
        std::vector<StoredFile> files = storage.listFolder(folder);
        for (const StoredFile& file : files) {
            if (!endsWith(file.name, ".txt"))
                continue;
            StoredRecording copy;
            std::string text;
            copy.notesPath = joined(storage, folder, file.name);
            if (!readText(copy.notesPath, text) || !readRecordingNotes(text, copy.notes))
                continue;
            auto audio = std::find_if(files.begin(), files.end(), [&](const StoredFile& f) {
                return f.name == copy.notes.audioFile;
            });
            if (audio == files.end())
                continue;
            copy.audioPath = joined(storage, folder, audio->name);
            copy.framesInFile =
                audio->size > wav::headerSize ? static_cast<int64_t>((audio->size - 44) / 8) : 0;
            found.push_back(std::move(copy));
        }
    }
    return found;
}

bool readRecordingCopy(const StoredRecording& copy, Samples& samples, std::string& error) {
    wav::FileSource file(copy.audioPath);
    uint8_t header[wav::headerSize];
    if (!file.isOpen()) {
        error = "the file does not open";
        return false;
    }
    if (file.readAt(0, header, sizeof header) != sizeof header ||
        std::memcmp(header, "RIFF", 4) != 0 || std::memcmp(header + 8, "WAVE", 4) != 0 ||
        header[20] != 3 || header[22] != 2) {
        error = "the file is not a recording's copy";
        return false;
    }
    // The file's own length, not its header, says how far it reaches.
    const int64_t frames = std::min<int64_t>(
        copy.notes.takeFrames,
        file.size() > wav::headerSize ? static_cast<int64_t>((file.size() - 44) / 8) : 0);
    samples.assign(2 * static_cast<size_t>(copy.notes.takeFrames), 0.0f);
    constexpr int64_t piece = 65536;
    std::vector<float> unit(2 * piece);
    for (int64_t done = 0; done < frames; done += piece) {
        const int64_t n = std::min(piece, frames - done);
        size_t got = file.readAt(wav::headerSize + 8 * static_cast<uint64_t>(done), unit.data(),
                                 8 * static_cast<size_t>(n));
        for (size_t i = 0; i < got / 4; ++i)
            samples[2 * static_cast<size_t>(done) + i] = wav::fromUnitFloat(unit[i]);
    }
    return true;
}

void refreshRecoveryIdentity(mi& machine) {
    RecoveryStorage* storage = recoveryStorage();
    if (!machine.recoveryCopies() || !storage)
        return;
    RecoveryIdentity identity;
    identity.machineName = machine.hostMachineName();
    identity.recordSource = machine.recordSource() ? mi::inputName(machine.recordSource()) : "";
    identity.songData = machine.songDataFingerprint();
    identity.folder = recordingsFolder(*storage);
    for (const auto& [name, pattern] : machine.namedPatterns())
        identity.patternNames[pattern] = name;
    machine.recoveryCopies()->setIdentity(std::move(identity));
}

void startRecovery(mi& machine) {
    RecoveryStorage* storage = recoveryStorage();
    if (!storage)
        return;
    removeOldSavedCopies(*storage);
    machine.keepRecoveryCopies(std::make_unique<RecoveryWriter>(machine, *storage));
    refreshRecoveryIdentity(machine);
    offerRecovery(machine, *storage);
}

void noteSongSaved(mi& machine) {
    if (!machine.recoveryCopies())
        return;
    std::vector<std::shared_ptr<Take>> saved;
    {
        auto hold = machine.lockAudio();
        for (Pattern* pattern : machine.patterns())
            saved.insert(saved.end(), pattern->takes.begin(), pattern->takes.end());
    }
    machine.recoveryCopies()->noteSaved(saved);
    refreshRecoveryIdentity(machine);
}

} // namespace spoolex
