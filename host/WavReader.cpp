#include "host/WavReader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

#include "hostsdk/Timing.h"
#include "platform/ByteOrder.h"

namespace host {

namespace {

uint32_t u32At(const std::vector<uint8_t>& b, size_t at) {
    return platform::readLe32(&b[at]);
}

uint16_t u16At(const std::vector<uint8_t>& b, size_t at) {
    return platform::readLe16(&b[at]);
}

// The chunk's payload range, or false. Walks chunks from offset 12 with RIFF
// word alignment and never past the end of the data.
bool findChunk(const std::vector<uint8_t>& b, const char* code, size_t& start, size_t& size) {
    size_t at = 12;
    while (at + 8 <= b.size()) {
        uint64_t length = u32At(b, at + 4);
        if (std::memcmp(&b[at], code, 4) == 0) {
            start = at + 8;
            size = static_cast<size_t>(std::min<uint64_t>(length, b.size() - start));
            return true;
        }
        at += 8 + length + (length & 1);
    }
    return false;
}

float sampleAt(const uint8_t* p, int tag, int bits) {
    if (tag == 3) {
        float value;
        std::memcpy(&value, p, 4);
        return value * hostSampleScale;
    }
    switch (bits) {
    case 16:
        return static_cast<float>(static_cast<int16_t>(platform::readLe16(p)));
    case 24: {
        auto v =
            static_cast<int32_t>(uint32_t(p[0]) << 8 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 24);
        return static_cast<float>(v) * (1.0f / 65536.0f);
    }
    default: {
        int32_t v;
        std::memcpy(&v, p, 4);
        return static_cast<float>(v) * (1.0f / 65536.0f);
    }
    }
}

} // namespace

bool readWav(const std::string& path, WavAudio& audio, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    if (b.size() < 12 || std::memcmp(&b[0], "RIFF", 4) != 0 || std::memcmp(&b[8], "WAVE", 4) != 0) {
        error = path + " is not a RIFF WAVE file";
        return false;
    }
    size_t fmt, fmtSize, data, dataSize;
    if (!findChunk(b, "fmt ", fmt, fmtSize) || fmtSize < 16 ||
        !findChunk(b, "data", data, dataSize)) {
        error = path + " lacks its format or data chunk";
        return false;
    }
    int tag = u16At(b, fmt);
    int channels = u16At(b, fmt + 2);
    int bits = u16At(b, fmt + 14);
    bool supported =
        (tag == 1 && (bits == 16 || bits == 24 || bits == 32)) || (tag == 3 && bits == 32);
    if (!supported || channels < 1 || channels > 2) {
        error = path + ": only 16-, 24- and 32-bit PCM or 32-bit float, mono or stereo";
        return false;
    }
    audio.sampleRate = static_cast<int>(u32At(b, fmt + 4));
    audio.channels = channels;
    size_t frameBytes = static_cast<size_t>(channels) * (bits / 8);
    size_t frames = dataSize / frameBytes;
    audio.frames.assign(2 * frames, 0.0f);
    for (size_t f = 0; f < frames; ++f) {
        const uint8_t* p = &b[data + f * frameBytes];
        float left = sampleAt(p, tag, bits);
        float right = channels == 2 ? sampleAt(p + bits / 8, tag, bits) : left;
        audio.frames[2 * f] = left;
        audio.frames[2 * f + 1] = right;
    }
    return true;
}

} // namespace host
