// Writing the master output as a WAV file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "host/MasterSink.h"

namespace host {

// Writes interleaved stereo samples (normalised, full scale +-1.0) as a
// 32-bit float WAV file. False with error set when the file cannot be
// written.
bool writeFloatWav(const std::string& path, int sampleRate, const std::vector<float>& stereo,
                   std::string& error);

// The master output streamed into a 32-bit float WAV file as it is
// rendered, so memory stays the same however long the song is. The header
// is completed by finish.
class MasterWavFile final : public MasterSink {
public:
    MasterWavFile() = default;
    MasterWavFile(const MasterWavFile&) = delete;
    MasterWavFile& operator=(const MasterWavFile&) = delete;
    ~MasterWavFile() override;

    bool open(const std::string& path, int sampleRate, std::string& error);
    // Host-scale stereo, written normalised.
    void write(const float* stereo, int frames) override;
    // Writes the final sizes and closes the file. False with error set when
    // anything could not be written or the audio outgrew a WAV file.
    bool finish(std::string& error);
    uint64_t frames() const { return written; }

private:
    std::FILE* file = nullptr;
    std::string path;
    int sampleRate = 0;
    uint64_t written = 0;
    bool failed = false;
    std::vector<uint8_t> bytes; // one block, converted
};

} // namespace host
