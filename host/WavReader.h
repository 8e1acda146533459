// Reads a WAV file that the stand-in host plays into an input machine.
#pragma once

#include <string>
#include <vector>

#include "generator/model/SampleBuffer.h"

namespace host {

struct WavAudio {
    int sampleRate = 0;
    int channels = 0; // of the file; frames are always stereo here
    // Interleaved stereo frames in the host's sample scale (full scale 32768);
    // mono files fill both channels.
    spoolex::Samples frames;
    size_t frameCount() const { return frames.size() / 2; }
};

// 16-, 24- and 32-bit PCM and 32-bit float, mono or stereo. Returns false
// with a reason for anything else, or for a damaged file.
bool readWav(const std::string& path, WavAudio& audio, std::string& error);

} // namespace host
