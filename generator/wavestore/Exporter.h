// Takes out to audio files.
#pragma once

#include <cstdint>
#include <string>

#include "generator/model/Take.h"
#include "generator/model/WavSampleFormat.h"

namespace spoolex {

class Exporter {
public:
    virtual ~Exporter() = default;
    virtual const char* description() const = 0;
    virtual const char* filePattern() const = 0;
    // Writes frames first .. end - 1 of take (a range past the take's end
    // is cut at it). False when the file cannot be written whole.
    virtual bool exportRange(const Take& take, const std::string& path, uint32_t first,
                             uint32_t end) = 0;
};

// RIFF WAVE with a 44-byte header, stereo, in one sample format.
class WavExporter final : public Exporter {
public:
    explicit WavExporter(WavSampleFormat format) : format(format) {}
    const char* description() const override { return "WAV format"; }
    const char* filePattern() const override { return "*.wav"; }
    bool exportRange(const Take& take, const std::string& path, uint32_t first,
                     uint32_t end) override;

private:
    WavSampleFormat format;
};

} // namespace spoolex
