#include "host/WavFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "generator/wavestore/WavCodec.h"
#include "hostsdk/ByteOrder.h"
#include "hostsdk/Timing.h"

namespace host {

namespace {

constexpr uint16_t formatIeeeFloat = 3;
constexpr uint16_t channels = 2;
constexpr uint16_t bytesPerSample = 4;

class LittleEndian {
public:
    void tag(const char (&fourCc)[5]) { bytes.insert(bytes.end(), fourCc, fourCc + 4); }
    void u16(uint16_t v) {
        uint8_t b[2];
        byteorder::writeLe16(b, v);
        bytes.insert(bytes.end(), b, b + 2);
    }
    void u32(uint32_t v) {
        uint8_t b[4];
        byteorder::writeLe32(b, v);
        bytes.insert(bytes.end(), b, b + 4);
    }
    std::vector<uint8_t> bytes;
};

// Everything before the samples of a file of frames stereo frames.
LittleEndian header(int sampleRate, uint32_t frames) {
    const uint32_t dataBytes = frames * channels * bytesPerSample;
    // Non-PCM formats carry the extension size in fmt and a fact chunk.
    const uint32_t fmtBytes = 18;
    const uint32_t factBytes = 4;
    LittleEndian out;
    out.tag("RIFF");
    out.u32(4 + (8 + fmtBytes) + (8 + factBytes) + (8 + dataBytes));
    out.tag("WAVE");
    out.tag("fmt ");
    out.u32(fmtBytes);
    out.u16(formatIeeeFloat);
    out.u16(channels);
    out.u32(static_cast<uint32_t>(sampleRate));
    out.u32(static_cast<uint32_t>(sampleRate) * channels * bytesPerSample);
    out.u16(channels * bytesPerSample);
    out.u16(8 * bytesPerSample);
    out.u16(0);
    out.tag("fact");
    out.u32(factBytes);
    out.u32(frames);
    out.tag("data");
    out.u32(dataBytes);
    return out;
}

// Frames whose samples fit the 32-bit size fields.
constexpr uint64_t mostFrames = (uint64_t{0xFFFFFFFF} - 58) / (channels * bytesPerSample);

} // namespace

bool writeFloatWav(const std::string& path, int sampleRate, const std::vector<float>& stereo,
                   std::string& error) {
    const auto frames = static_cast<uint32_t>(stereo.size() / channels);
    LittleEndian out = header(sampleRate, frames);
    // The samples as the generator's exporter writes them, from the host
    // scale (exact: both scalings are powers of two).
    std::vector<float> hostScale(stereo.begin(), stereo.begin() + size_t{frames} * channels);
    for (float& v : hostScale)
        v *= hostSampleScale;
    const size_t at = out.bytes.size();
    out.bytes.resize(at + hostScale.size() * bytesPerSample);
    spoolex::wav::encodeSamples(spoolex::WavSampleFormat::Float32, hostScale.data(),
                                hostScale.size(), out.bytes.data() + at);

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(out.bytes.data(), 1, out.bytes.size(), file) == out.bytes.size();
    written = std::fclose(file) == 0 && written;
    if (!written)
        error = path + ": could not write the whole file";
    return written;
}

MasterWavFile::~MasterWavFile() {
    if (file)
        std::fclose(file);
}

bool MasterWavFile::open(const std::string& wavPath, int rate, std::string& error) {
    path = wavPath;
    sampleRate = rate;
    file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    const LittleEndian start = header(sampleRate, 0);
    failed = std::fwrite(start.bytes.data(), 1, start.bytes.size(), file) != start.bytes.size();
    return true;
}

void MasterWavFile::write(const float* stereo, int frames) {
    if (!file || failed || frames <= 0)
        return;
    const size_t values = size_t{channels} * static_cast<size_t>(frames);
    bytes.resize(values * bytesPerSample);
    spoolex::wav::encodeSamples(spoolex::WavSampleFormat::Float32, stereo, values, bytes.data());
    failed = std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size();
    written += static_cast<uint64_t>(frames);
}

bool MasterWavFile::finish(std::string& error) {
    if (!file) {
        error = path + ": not open";
        return false;
    }
    bool fits = written <= mostFrames;
    if (fits && !failed) {
        const LittleEndian end = header(sampleRate, static_cast<uint32_t>(written));
        failed = std::fseek(file, 0, SEEK_SET) != 0 ||
                 std::fwrite(end.bytes.data(), 1, end.bytes.size(), file) != end.bytes.size();
    }
    failed = std::fclose(file) != 0 || failed;
    file = nullptr;
    if (!fits)
        error = path + ": the song is too long for a WAV file";
    else if (failed)
        error = path + ": could not write the whole file";
    return fits && !failed;
}

} // namespace host
