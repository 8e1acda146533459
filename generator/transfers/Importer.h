// Audio files into takes: the importer family and the process-wide registry
// that the "From File..." command and its file dialog use.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "generator/model/Take.h"

namespace spoolex {

class Importer {
public:
    virtual ~Importer() = default;
    virtual const char* description() const = 0;
    virtual const char* filePattern() const = 0;
    virtual bool canImport(const std::string& path) = 0;
    // Replaces take's samples and sample rate with the file's. Only called
    // after canImport accepted the same path.
    virtual bool importInto(Take& take, const std::string& path) = 0;
};

// RIFF WAVE: 16-, 24-, 32-bit PCM and 32-bit float, mono or stereo.
class WavImporter final : public Importer {
public:
    const char* description() const override { return "WAV format"; }
    const char* filePattern() const override { return "*.wav"; }
    bool canImport(const std::string& path) override;
    // False when the file does not open, no longer holds a WAV layout, or its
    // frames cannot be held in memory.
    bool importInto(Take& take, const std::string& path) override;
};

// Filled on first use, WavImporter first, then the importers of other
// formats where the build has them; never emptied.
const std::vector<std::unique_ptr<Importer>>& importerRegistry();

// The open-file dialog's filter: (label, pattern) pairs, each piece ended by
// a zero character, so the text ends in two zeros.
const std::string& importFilter();

// The first registered importer that accepts path imports it. False with
// error set to the text for the user.
bool importAny(Take& take, const std::string& path, std::string& error);

// Makes samples (interleaved stereo) and sampleRate the take's. A take of a
// machine changes under the machine's lock, and its pattern's players seek
// again; the old samples are freed after the lock.
void replaceTakeSamples(Take& take, Samples&& samples, int32_t sampleRate);

} // namespace spoolex
