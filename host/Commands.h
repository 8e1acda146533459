// The stand-in host's jobs, as the command line runs them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace host {

class Host;

// Loads the song file into host, with the plug-ins of gear; false (and the
// reason on the error stream) when it cannot.
bool loadSong(Host& host, const std::string& songPath, const std::string& gear);

class HostPattern;
// The first pattern (named name, when given) of a machine with its own
// editor, or null.
HostPattern* editorPattern(Host& host, const std::string& name);

// Every plug-in in the Gear folder, described.
int describeCommand(const std::string& gear, std::FILE* out);

// Plays the song held by host from its start to endTick and streams the mix
// into a 32-bit float WAV file as it is rendered. False with error set when
// the file cannot be written.
bool renderToWav(Host& host, uint32_t endTick, const std::string& wavPath, uint64_t& frames,
                 std::string& error, const std::function<void(int tick)>& progress = {});

// Loads a song file, renders it with renderToWav and reports the result.
int renderCommand(const std::string& songPath, const std::string& wavPath, const std::string& gear,
                  std::FILE* out);

// The song's timing and length, then for each pattern of each machine that
// has its own editor: its length, its takes and the report the editor's Info
// command shows (songSummary).
int infoCommand(const std::string& songPath, const std::string& gear, std::FILE* out);

struct RecordOptions;

// Records the input WAV file into the song's generator and saves the song.
int recordCommand(const std::string& songPath, const std::string& inputPath,
                  const RecordOptions& options, const std::string& gear, std::FILE* out);

struct SnapshotOptions;

struct ShowOptions {
    std::string screenshot;  // set: a PNG of the window once it has painted, then exit
    std::string viewPicture; // set: a PNG of the editor view alone, then exit
};

// Windows only: the song in a window, the sequence view beside the editor of
// the chosen pattern's machine (the snapshot's pattern, size and view
// settings), until the user closes it or a picture is taken.
int showCommand(const std::string& songPath, const SnapshotOptions& view,
                const ShowOptions& options, const std::string& gear, std::FILE* out);

// The built-in demo: synthesises an input, records two passes over one
// pattern with auto punch, saves the song, loads it in a fresh host, renders
// it to folder/demo.wav and prints the pattern's report.
int demoCommand(const std::string& folder, const std::string& gear, std::FILE* out);

} // namespace host
