#include "host/WavReader.h"

#include "generator/wavestore/FileSource.h"
#include "generator/wavestore/WavCodec.h"

#include "host/FileChecks.h"
#include "hostsdk/ByteOrder.h"
#include "hostsdk/Timing.h"

namespace host {

// The generator's own WAV reading: what plays into an input machine is read
// exactly as an imported take would be.
bool readWav(const std::string& path, WavAudio& audio, std::string& error) {
    using namespace spoolex::wav;
    if (!checkReadable(path, error))
        return false;
    FileSource file(path);
    if (!file.isOpen()) {
        error = "cannot read " + path + ": " + systemReason();
        return false;
    }
    Layout layout;
    if (!readLayout(file, layout)) {
        error =
            path + ": not a WAV file of 16-, 24- and 32-bit PCM or 32-bit float, mono or stereo";
        return false;
    }
    if (!decodeAll(file, layout, audio.frames)) {
        error = path + " is too long to hold";
        return false;
    }
    audio.sampleRate = static_cast<int>(layout.format.sampleRate);
    audio.channels = layout.format.channels;
    return true;
}

} // namespace host
