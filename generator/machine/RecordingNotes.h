// The small text file beside each recovery copy: what the recording is, so
// that it can be put back where it was made, and what happened while it ran.
//
// The file is only ever appended to: the description first (before any
// audio), then a line each time the stretches where the take is active
// change, and a last line once the take has been saved in the song. A crash
// can cut only the last line short, which reading skips.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace spoolex {

// The take is active from first to second (ticks of its pattern).
using TickStretch = std::pair<double, double>;

struct RecordingNotes {
    std::string machine;
    std::string pattern;
    int32_t patternTicks = 0;
    double startTick = 0.0;    // where playback began in the pattern
    int64_t writePosition = 0; // the take frame that start wrote first
    int32_t beatsPerMinute = 0;
    int32_t ticksPerBeat = 0;
    int32_t sampleRate = 0; // of the take (the host's when it began)
    int64_t takeFrames = 0; // the whole take, pattern start to end
    std::string started;    // local time, "YYYY-MM-DD HH:MM:SS"
    std::string recordSource;
    std::string songData;  // fingerprint of the song data it was made on
    std::string audioFile; // the copy's file name, beside the notes
    std::vector<TickStretch> active;
    bool saved = false;
};

// The description that opens the file.
std::string describeRecording(const RecordingNotes& notes);
// The line that records where the take is active now.
std::string activeLine(const std::vector<TickStretch>& active);
constexpr const char* savedLine = "saved\n";

// False when text is not a recording's notes.
bool readRecordingNotes(const std::string& text, RecordingNotes& notes);

} // namespace spoolex
