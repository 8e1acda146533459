// Recovery copies seen from the machine: the writer started with it, the
// copies of a song offered back when that song loads, saved copies marked
// and, after a week, removed. User-interface thread only, lock not held.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "generator/machine/RecordingNotes.h"
#include "generator/model/SampleBuffer.h"

namespace spoolex {

class mi;
class RecoveryStorage;
struct Take;

// End of initialisation: removes saved copies older than a week, starts the
// writer and, when unsaved copies were made on top of the song data just
// loaded, asks whether to add them to their patterns as new takes.
void startRecovery(mi& machine);

// The song data was written: its takes' copies are saved, and new
// recordings are made on top of it.
void noteSongSaved(mi& machine);

// Names, folder and song data the writer notes for new recordings; called
// whenever one of them may have changed.
void refreshRecoveryIdentity(mi& machine);

// Where copies go now: the project folder's "Spoolex recordings", or the
// per-user folder when no project folder is set.
std::string recordingsFolder(RecoveryStorage& storage);

// A copy on disk with its notes.
struct StoredRecording {
    RecordingNotes notes;
    std::string notesPath;
    std::string audioPath;
    int64_t framesInFile = 0; // what the file holds, from the take's frame 0
};

// Every copy in the folders that copies are written to.
std::vector<StoredRecording> findStoredRecordings(RecoveryStorage& storage);

// The whole take of a copy: its frames as far as the file holds them
// (whatever its header says: a crash may have left the sizes behind), and
// silence after. False when the file is not a copy.
bool readRecordingCopy(const StoredRecording& copy, Samples& samples, std::string& error);

} // namespace spoolex
