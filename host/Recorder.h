// Recording a song in the stand-in host: an input machine hears a WAV file
// as its live input while the host plays the song in record mode with the
// generator armed.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/WavReader.h"

namespace host {

class Host;

struct RecordOptions {
    int latency = 0;        // the input machine's latency compensation, in samples
    bool autoPunch = false; // punch by level instead of by hand
    int threshold = 128;    // auto punch threshold, 1..4096
    int release = 100;      // auto punch release, in ms
    bool inputAfter =
        false; // render the input after the generator (it then hears the previous block)
    // Plays at the pace of real time, as a live session does, and tells
    // progress (when set) how far it got after each stretch.
    bool realtime = false;
    std::FILE* progress = nullptr;
};

// How long the recording ran, in host frames.
struct RecordOutcome {
    int64_t songFrames = 0;  // the whole song's
    int64_t inputFrames = 0; // the input's
    int64_t played = 0;      // the shorter of the two: the song stops when the input ends
};

// Records into the first generator of the song held by host. The song's
// input machine is used, or one is placed. The song plays until its end or
// the input's, whichever comes first. False with a reason on failure.
bool recordSong(Host& host, const std::string& gear, const WavAudio& input,
                const RecordOptions& options, std::string& error, RecordOutcome* outcome = nullptr);

} // namespace host
