// One stereo recording (or imported sound) belonging to one pattern.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "generator/model/SampleBuffer.h"
#include "hostsdk/Timing.h"

namespace spoolex {

class Pattern;
class mi;

// Created only through its pattern. Held by shared ownership: the pattern's
// take list and every take player reading it, so a take that leaves the list
// lives on exactly as long as a fading player still reads it.
struct Take : std::enable_shared_from_this<Take> {
    Pattern* owner = nullptr; // the pattern whose take list holds (or held) it
    mi* machine = nullptr;
    int32_t sampleRate = 44100;

    // Interleaved stereo, left then right, in the host sample scale.
    const Samples& samples() const { return sampleData; }
    size_t frameCount() const { return sampleData.size() / 2; }

    // The one way to change the samples: whoever writes them (recording,
    // edits, imports, the external editor, loading) takes them from here, so
    // the take knows its stored stream is out of date. Take the reference
    // for one change and let it go; the mark is made when it is taken.
    Samples& changeSamples() {
        ++changes;
        return sampleData;
    }

    // The take's compressed stream as last loaded or saved, kept so that an
    // unchanged take is written again byte for byte instead of encoded anew.
    // Null once the samples or the rate have changed since. Touched only on
    // the user-interface thread (song loading and saving, pattern copies).
    using Stream = std::shared_ptr<const std::vector<uint8_t>>;
    Stream storedStream() const {
        return stored.changes == changes && stored.rate == sampleRate ? stored.stream : nullptr;
    }
    // stream holds exactly the take's present samples at its present rate.
    void keepStoredStream(Stream stream) { stored = {std::move(stream), changes, sampleRate}; }
    // A copy of source's samples shares its stored stream while it is current.
    void copySamplesOf(const Take& source) {
        changeSamples() = source.samples();
        sampleRate = source.sampleRate;
        if (Stream stream = source.storedStream())
            keepStoredStream(std::move(stream));
    }

private:
    Samples sampleData;
    // Counts changes of the samples. Written under the machine's lock by the
    // audio thread while it records into the take, otherwise only on the
    // user-interface thread; the stored stream is only consulted for takes
    // the audio thread is not writing.
    uint64_t changes = 0;
    struct {
        Stream stream;
        uint64_t changes = 0;
        int32_t rate = 0;
    } stored;
};

} // namespace spoolex
