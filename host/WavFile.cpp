#include "host/WavFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "generator/wavestore/WavCodec.h"

namespace host {

namespace {

constexpr uint16_t formatIeeeFloat = 3;
constexpr uint16_t channels = 2;
constexpr uint16_t bytesPerSample = 4;

class LittleEndian {
public:
    void tag(const char (&fourCc)[5]) { bytes.insert(bytes.end(), fourCc, fourCc + 4); }
    void u16(uint16_t v) {
        for (int i = 0; i < 2; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    void u32(uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }
    std::vector<uint8_t> bytes;
};

} // namespace

bool writeFloatWav(const std::string& path, int sampleRate, const std::vector<float>& stereo,
                   std::string& error) {
    const auto frames = static_cast<uint32_t>(stereo.size() / channels);
    const uint32_t dataBytes = frames * channels * bytesPerSample;
    // Non-PCM formats carry the extension size in fmt and a fact chunk.
    const uint32_t fmtBytes = 18;
    const uint32_t factBytes = 4;
    LittleEndian out;
    out.bytes.reserve(58 + dataBytes);
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
    // The samples as the generator's exporter writes them, from the host
    // scale (exact: both scalings are powers of two).
    std::vector<float> hostScale(stereo.begin(), stereo.begin() + frames * channels);
    for (float& v : hostScale)
        v *= 32768.0f;
    size_t at = out.bytes.size();
    out.bytes.resize(at + dataBytes);
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

} // namespace host
