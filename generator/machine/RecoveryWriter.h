// Recovery copies: every frame a recording writes into its take also
// reaches a file on disk within a second, so that a crash of the host (or
// of any machine in it) loses at most the last second of a take.
//
// One writer thread per machine, made on the user-interface thread. The
// audio thread's work does not change: the writer finds recordings by
// looking at the machine's recording state in short holds of its lock (as
// saving a take being recorded does), copies the frames below the write
// position, appends them to a 32-bit float WAV file whose size fields it
// then brings up to date, and forces the file to the disk twice a second.
//
//   take     |0 ........ start ====== written ====== write position .... end|
//   file     |header| hole (reads 0) | frames as the take holds them |
//
// The file holds the take from its frame 0, so a recovered take lines up
// with its pattern exactly as the recorded one did. Beside it, a text file
// (RecordingNotes.h) says what it is.
#pragma once

#include <chrono>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "generator/machine/RecordingNotes.h"

namespace spoolex {

class mi;
class Pattern;
class RecoveryFile;
class RecoveryStorage;
struct Take;

// What the writer may not ask the host itself (host services belong to the
// user-interface thread): given to it there, as it changes.
struct RecoveryIdentity {
    std::string machineName;
    std::string recordSource;
    std::string songData; // fingerprint of the song data last loaded or saved
    std::string folder;   // where new copies go; empty when there is none
    std::map<const Pattern*, std::string> patternNames;
};

class RecoveryWriter {
public:
    RecoveryWriter(mi& machine, RecoveryStorage& storage);
    // Writes what the takes still hold, then stops.
    ~RecoveryWriter();
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    void setIdentity(RecoveryIdentity identity);
    // User-interface thread, after the song data was written with saved:
    // the copies of those takes whose recordings have ended are marked
    // saved. Never with the machine's lock held.
    void noteSaved(const std::vector<std::shared_ptr<Take>>& saved);
    // A take put back from the copy whose notes are at notesPath: once it is
    // saved, so is the copy.
    void adoptRecovered(const std::shared_ptr<Take>& take, const std::string& notesPath);
    // Copies everything recorded so far now (tests, benchmarks).
    void flush();

    // Tests only: runs between a write of frames and the update of the
    // header that counts them, where a crash leaves the file as it is then.
    static void (*betweenWrites)(const std::string& audioPath);

    static constexpr std::chrono::milliseconds pollInterval{100};
    static constexpr std::chrono::milliseconds syncInterval{500};

private:
    struct Copy;
    struct Seen;

    void run();
    void poll(bool force);
    std::vector<Seen> look();
    void open(Copy& copy, const Seen& seen);
    void write(Copy& copy);
    void finish(Copy& copy, bool forced);
    bool sync(Copy& copy);
    void fail(Copy& copy, const std::string& reason);
    void markSaved(Copy& copy);

    mi& machine;
    RecoveryStorage& storage;

    std::mutex identityLock;
    RecoveryIdentity identity;

    std::mutex state; // everything below; taken before the machine's lock
    std::vector<std::unique_ptr<Copy>> copies;
    std::vector<float> piece;
    std::vector<float> unit;
    std::vector<std::string> failures; // messages to show, outside the lock

    std::mutex wakeLock;
    std::condition_variable wake;
    bool stopping = false;
    std::thread thread;
};

} // namespace spoolex
