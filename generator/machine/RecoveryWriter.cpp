#include "generator/machine/RecoveryWriter.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "generator/machine/Machine.h"
#include "generator/machine/RecoveryStorage.h"
#include "generator/machine/UserInterface.h"
#include "generator/model/TimeUnits.h"
#include "generator/wavestore/WavCodec.h"

namespace spoolex {

namespace {

using Clock = std::chrono::steady_clock;

// Frames copied per hold of the machine's lock: 256 KB, a few tens of
// microseconds of copying.
constexpr int64_t pieceFrames = 32768;

// A recording that ended between two looks wrote at most this much after
// the last look: real time since then, with room for the host's buffering.
int64_t framesSince(Clock::duration elapsed, int32_t sampleRate) {
    double seconds = std::chrono::duration<double>(elapsed).count();
    return static_cast<int64_t>(seconds * 1.25 * sampleRate) + 8192;
}

std::string localTime(const char* format) {
    std::time_t now = std::time(nullptr);
    std::tm parts{};
#if defined(_WIN32)
    localtime_s(&parts, &now);
#else
    localtime_r(&now, &parts);
#endif
    char text[64];
    std::strftime(text, sizeof text, format, &parts);
    return text;
}

// Names become part of a file name: nothing a file system refuses.
std::string fileNamePart(const std::string& name) {
    std::string part;
    for (unsigned char c : name)
        part += (c < 32 || std::strchr("\\/:*?\"<>|", c)) ? '_' : static_cast<char>(c);
    while (!part.empty() && (part.back() == '.' || part.back() == ' '))
        part.pop_back();
    return part.empty() ? "_" : part.substr(0, 60);
}

bool sameTake(const std::weak_ptr<Take>& a, const std::weak_ptr<Take>& b) {
    return !a.owner_before(b) && !b.owner_before(a);
}

// Lock held: the stretches of pattern where take is active.
void activeStretches(const Pattern& pattern, const Take* take, std::vector<TickStretch>& out) {
    out.clear();
    const auto& entries = pattern.activeTakes;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].take != take)
            continue;
        double end =
            i + 1 < entries.size() ? entries[i + 1].startTick : static_cast<double>(pattern.length);
        out.push_back({entries[i].startTick, end});
    }
}

} // namespace

void (*RecoveryWriter::betweenWrites)(const std::string& audioPath) = nullptr;

// A recording the writer found in the machine's state.
struct RecoveryWriter::Seen {
    std::weak_ptr<Take> take;
    const Pattern* pattern = nullptr;
    int32_t patternTicks = 0;
    int64_t writePosition = 0;
    int64_t startPosition = 0;
    int64_t takeFrames = 0;
    int32_t sampleRate = 0;
    CMasterInfo timing{};
    std::vector<TickStretch> active;
};

// One recording and its copy.
struct RecoveryWriter::Copy {
    std::weak_ptr<Take> take;
    const Pattern* pattern = nullptr;
    std::string patternName;
    std::string folder; // where its files were to go
    std::string audioPath, notesPath;
    std::unique_ptr<RecoveryFile> audio, notes;
    uint64_t notesSize = 0;
    int32_t sampleRate = 0;
    int64_t inFile = 0;   // frames 0 .. inFile - 1 are in the file
    int64_t inHeader = 0; // what the header counts
    int64_t target = 0;   // frames the take holds for certain
    int64_t takeFrames = 0;
    int64_t lastWritePosition = 0;
    Clock::time_point seenAt, syncedAt;
    std::vector<TickStretch> active, activeNoted;
    bool ended = false;    // the recording is over; copy up to target
    bool finished = false; // and its files are closed
    bool failed = false;
    bool dirty = false;
    bool savePending = false; // saved while its last frames were on the way
    bool saved = false;
};

RecoveryWriter::RecoveryWriter(mi& machine, RecoveryStorage& storage)
    : machine(machine), storage(storage) {
    piece.resize(2 * pieceFrames);
    unit.resize(2 * pieceFrames);
    thread = std::thread([this] { run(); });
}

RecoveryWriter::~RecoveryWriter() {
    {
        std::lock_guard<std::mutex> hold(wakeLock);
        stopping = true;
    }
    wake.notify_all();
    thread.join();
    try {
        poll(true);
        std::lock_guard<std::mutex> hold(state);
        for (auto& copy : copies)
            if (!copy->finished && !copy->failed)
                finish(*copy, true);
    } catch (...) {
        // The machine goes either way; what reached the disk stays there.
    }
}

void RecoveryWriter::setIdentity(RecoveryIdentity next) {
    // Not the copies' lock: arming never waits for a disk.
    std::lock_guard<std::mutex> hold(identityLock);
    identity = std::move(next);
}

void RecoveryWriter::run() {
    std::unique_lock<std::mutex> waiting(wakeLock);
    while (!stopping) {
        wake.wait_for(waiting, pollInterval);
        if (stopping)
            break;
        waiting.unlock();
        try {
            poll(false);
        } catch (...) {
            // Out of memory: the recordings go on; the next look tries again.
        }
        waiting.lock();
    }
}

void RecoveryWriter::flush() {
    poll(true);
}

std::vector<RecoveryWriter::Seen> RecoveryWriter::look() {
    std::vector<Seen> seen;
    seen.reserve(16);
    auto hold = machine.lockAudio();
    auto note = [&](const RecordCommand& command) {
        if (!command.take || !command.pattern)
            return;
        Seen s;
        s.take = command.take;
        s.pattern = command.pattern;
        s.patternTicks = command.pattern->length;
        s.takeFrames = static_cast<int64_t>(command.take->frameCount());
        s.writePosition = std::clamp<int64_t>(command.writePosition, 0, s.takeFrames);
        s.startPosition = std::clamp<int64_t>(command.startPosition, 0, s.takeFrames);
        s.sampleRate = command.take->sampleRate;
        // Not the whole record: the host moves its position in the tick
        // while it renders.
        s.timing.beatsPerMin = machine.masterInfo->beatsPerMin;
        s.timing.ticksPerBeat = machine.masterInfo->ticksPerBeat;
        s.timing.samplesPerSec = machine.masterInfo->samplesPerSec;
        activeStretches(*command.pattern, command.take.get(), s.active);
        seen.push_back(std::move(s));
    };
    // Queued starts are left until they run: one that loses to a running
    // recording never writes its take, which would only make a silent copy.
    if (machine.recordingNow().recording())
        note(machine.recordingNow());
    // Where each copy's take is active now, while its pattern is still the
    // machine's.
    for (auto& copy : copies) {
        if (copy->finished)
            continue;
        bool alive = machine.holdsPattern(copy->pattern);
        std::shared_ptr<Take> take = copy->take.lock();
        if (alive && take && take->owner == copy->pattern)
            activeStretches(*copy->pattern, take.get(), copy->active);
        // The last holder of a take lets it go outside the hold.
        if (take && take.use_count() == 1) {
            hold.unlock();
            take.reset();
            hold.lock();
        }
    }
    return seen;
}

void RecoveryWriter::poll(bool force) {
    std::vector<std::string> messages;
    {
        std::lock_guard<std::mutex> hold(state);
        std::vector<Seen> seen = look();
        const Clock::time_point now = Clock::now();
        for (const Seen& s : seen) {
            auto found = std::find_if(copies.begin(), copies.end(), [&](const auto& copy) {
                return sameTake(copy->take, s.take);
            });
            Copy* copy = found == copies.end() ? nullptr : found->get();
            if (!copy) {
                copies.push_back(std::make_unique<Copy>());
                copy = copies.back().get();
                open(*copy, s);
            }
            copy->takeFrames = s.takeFrames;
            copy->target = std::max(copy->target, s.writePosition);
            copy->lastWritePosition = s.writePosition;
            copy->seenAt = now;
            copy->active = s.active;
        }
        for (auto& copy : copies) {
            if (copy->finished)
                continue;
            bool running = std::any_of(seen.begin(), seen.end(),
                                       [&](const Seen& s) { return sameTake(copy->take, s.take); });
            if (!running && !copy->ended) {
                // Ended since the last look; its final write position is gone
                // with the recording state. The take holds nothing after it
                // (a new take is silent), so copying a little too far only
                // copies silence.
                copy->ended = true;
                copy->target = std::min(copy->takeFrames,
                                        copy->lastWritePosition +
                                            framesSince(now - copy->seenAt, copy->sampleRate));
            }
            if (!copy->failed)
                write(*copy);
            if (!copy->failed && (force || now - copy->syncedAt >= syncInterval))
                sync(*copy);
            if (copy->ended && !copy->failed && copy->inFile >= copy->target)
                finish(*copy, false);
            if (copy->failed)
                copy->finished = true;
        }
        messages.swap(failures);
    }
    // Outside every lock: a message box waits for the user.
    for (const std::string& text : messages)
        userInterface().showMessage(nullptr, text, "", MessageIcon::Error);
}

void RecoveryWriter::open(Copy& copy, const Seen& s) {
    copy.take = s.take;
    copy.pattern = s.pattern;
    copy.sampleRate = s.sampleRate;
    copy.takeFrames = s.takeFrames;
    copy.inFile = s.startPosition;
    copy.target = s.startPosition;
    copy.syncedAt = Clock::now();
    RecoveryIdentity identity;
    {
        std::lock_guard<std::mutex> hold(identityLock);
        identity = this->identity;
    }
    copy.folder = identity.folder;
    auto name = identity.patternNames.find(s.pattern);
    copy.patternName = name == identity.patternNames.end() ? "" : name->second;

    RecordingNotes notes;
    notes.machine = identity.machineName;
    notes.pattern = copy.patternName;
    notes.patternTicks = s.patternTicks;
    const float samplesPerTickValue = samplesPerTick(s.timing);
    const double f =
        framesPerTick(rateRatio(s.sampleRate, s.timing.samplesPerSec), samplesPerTickValue);
    notes.startTick = f > 0.0 ? static_cast<double>(s.startPosition) / f : 0.0;
    notes.writePosition = s.startPosition;
    notes.beatsPerMinute = s.timing.beatsPerMin;
    notes.ticksPerBeat = s.timing.ticksPerBeat;
    notes.sampleRate = s.sampleRate;
    notes.takeFrames = s.takeFrames;
    notes.started = localTime("%Y-%m-%d %H:%M:%S");
    notes.recordSource = identity.recordSource;
    notes.songData = identity.songData;

    const std::string& folder = identity.folder;
    std::string error;
    if (folder.empty()) {
        fail(copy, "there is no folder for recordings");
        return;
    }
    if (!storage.makeFolders(folder, error)) {
        fail(copy, error);
        return;
    }
    const std::string stem = folder + storage.separator() + fileNamePart(notes.machine) + " - " +
                             fileNamePart(copy.patternName) + " - " +
                             localTime("%Y-%m-%d %H-%M-%S");
    // The notes come first: a copy is never found without them.
    for (int n = 1; n <= 100 && !copy.notes; ++n) {
        std::string suffix = n == 1 ? "" : " (" + std::to_string(n) + ")";
        copy.notesPath = stem + suffix + ".txt";
        copy.audioPath = stem + suffix + ".wav";
        copy.notes = storage.createNew(copy.notesPath, error);
    }
    if (!copy.notes) {
        fail(copy, error);
        return;
    }
    size_t slash = copy.audioPath.find_last_of(storage.separator());
    notes.audioFile = copy.audioPath.substr(slash + 1);
    const std::string text = describeRecording(notes);
    if (!copy.notes->writeAt(0, text.data(), text.size(), error) || !copy.notes->sync(error)) {
        fail(copy, error);
        return;
    }
    copy.notesSize = text.size();
    copy.audio = storage.createNew(copy.audioPath, error);
    uint8_t header[wav::headerSize];
    wav::writeHeader(WavSampleFormat::Float32, static_cast<uint32_t>(s.sampleRate), 0, header);
    if (!copy.audio || !copy.audio->writeAt(0, header, sizeof header, error) ||
        !copy.audio->sync(error))
        fail(copy, error);
}

void RecoveryWriter::write(Copy& copy) {
    std::string error;
    while (copy.inFile < copy.target) {
        int64_t frames = std::min(pieceFrames, copy.target - copy.inFile);
        int64_t copied = 0;
        std::shared_ptr<Take> take;
        {
            auto hold = machine.lockAudio();
            take = copy.take.lock();
            if (take) {
                // An edit may have shortened the take since the last look.
                copied = std::clamp<int64_t>(static_cast<int64_t>(take->frameCount()) - copy.inFile,
                                             0, frames);
                std::memcpy(piece.data(), take->samples().data() + 2 * copy.inFile,
                            sizeof(float) * 2 * static_cast<size_t>(copied));
            }
            if (take && take.use_count() > 1)
                take.reset();
        }
        take.reset(); // the last holder frees it here, outside the lock
        if (copied == 0) {
            copy.target = copy.inFile;
            break;
        }
        for (int64_t i = 0; i < 2 * copied; ++i)
            unit[static_cast<size_t>(i)] = wav::toUnitFloat(piece[static_cast<size_t>(i)]);
        const uint64_t at = wav::headerSize + 8 * static_cast<uint64_t>(copy.inFile);
        if (!copy.audio->writeAt(at, unit.data(), 8 * static_cast<size_t>(copied), error)) {
            fail(copy, error);
            return;
        }
        copy.inFile += copied;
        copy.dirty = true;
    }
    if (copy.inHeader == copy.inFile)
        return;
    if (betweenWrites)
        betweenWrites(copy.audioPath);
    // The sizes count only frames already in the file: a crash between the
    // two writes leaves a header that is short, never one that is long.
    const auto headerFrames =
        static_cast<uint32_t>(std::min<int64_t>(copy.inFile, (UINT32_MAX - wav::headerSize) / 8));
    uint8_t header[wav::headerSize];
    wav::writeHeader(WavSampleFormat::Float32, static_cast<uint32_t>(copy.sampleRate), headerFrames,
                     header);
    if (!copy.audio->writeAt(0, header, sizeof header, error)) {
        fail(copy, error);
        return;
    }
    copy.inHeader = copy.inFile;
}

bool RecoveryWriter::sync(Copy& copy) {
    std::string error;
    if (copy.active != copy.activeNoted) {
        std::string line = activeLine(copy.active);
        if (!copy.notes->writeAt(copy.notesSize, line.data(), line.size(), error)) {
            fail(copy, error);
            return false;
        }
        copy.notesSize += line.size();
        copy.activeNoted = copy.active;
        copy.dirty = true;
    }
    if (copy.dirty && (!copy.audio->sync(error) || !copy.notes->sync(error))) {
        fail(copy, error);
        return false;
    }
    copy.dirty = false;
    copy.syncedAt = Clock::now();
    return true;
}

void RecoveryWriter::finish(Copy& copy, bool forced) {
    if (forced)
        write(copy);
    if (copy.failed || !sync(copy))
        return;
    if (copy.savePending)
        markSaved(copy);
    copy.audio.reset();
    copy.notes.reset();
    copy.finished = true;
}

void RecoveryWriter::fail(Copy& copy, const std::string& reason) {
    const std::string& folder = copy.folder;
    failures.push_back("Korvane Spoolex could not keep a copy on disk of the recording into the "
                       "pattern \"" +
                       copy.patternName + "\" in the folder \"" + folder + "\": " + reason +
                       ".\nThe recording goes on in memory only.");
    copy.failed = true;
    copy.audio.reset();
    copy.notes.reset();
}

void RecoveryWriter::markSaved(Copy& copy) {
    std::string error;
    std::string line = savedLine;
    bool marked = copy.notes
                      ? copy.notes->writeAt(copy.notesSize, line.data(), line.size(), error) &&
                            copy.notes->sync(error)
                      : storage.append(copy.notesPath, line, error);
    if (copy.notes && marked)
        copy.notesSize += line.size();
    // A mark that could not be written leaves the copy unsaved: it is
    // offered again, never lost.
    copy.saved = marked;
    copy.savePending = false;
}

void RecoveryWriter::noteSaved(const std::vector<std::shared_ptr<Take>>& saved) {
    std::lock_guard<std::mutex> hold(state);
    for (auto& copy : copies) {
        if (copy->saved || copy->failed)
            continue;
        bool inSong = std::any_of(saved.begin(), saved.end(),
                                  [&](const auto& take) { return sameTake(copy->take, take); });
        if (!inSong)
            continue;
        std::shared_ptr<Take> take = copy->take.lock();
        if (!take || machine.isRecordingInto(*take))
            continue; // the song holds only part of it
        if (copy->finished)
            markSaved(*copy);
        else
            copy->savePending = true;
    }
    // Copies whose takes are saved or gone need no more watching.
    copies.erase(std::remove_if(copies.begin(), copies.end(),
                                [](const auto& copy) {
                                    return copy->finished &&
                                           (copy->saved || copy->failed || copy->take.expired());
                                }),
                 copies.end());
}

void RecoveryWriter::adoptRecovered(const std::shared_ptr<Take>& take,
                                    const std::string& notesPath) {
    std::lock_guard<std::mutex> hold(state);
    auto copy = std::make_unique<Copy>();
    copy->take = take;
    copy->notesPath = notesPath;
    copy->finished = true;
    copies.push_back(std::move(copy));
}

} // namespace spoolex
