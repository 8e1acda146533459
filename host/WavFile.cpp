#include "host/WavFile.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "platform/ByteOrder.h"

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
        platform::writeLe16(b, v);
        bytes.insert(bytes.end(), b, b + 2);
    }
    void u32(uint32_t v) {
        uint8_t b[4];
        platform::writeLe32(b, v);
        bytes.insert(bytes.end(), b, b + 4);
    }
    void f32(float v) {
        uint32_t bits;
        std::memcpy(&bits, &v, 4);
        u32(bits);
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
    for (uint32_t i = 0; i < frames * channels; ++i)
        out.f32(stereo[i]);

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
