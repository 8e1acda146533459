// RIFF WAVE data in memory: the format record, the chunk walk, and the
// sample conversions between WAV files and takes (host sample scale, full
// scale +-32768). The importers and exporters, the wavetable transfer and
// the stand-in host all convert through here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "generator/model/SampleBuffer.h"
#include "generator/model/WavSampleFormat.h"

namespace spoolex::wav {

constexpr uint16_t formatTagPcm = 1;
constexpr uint16_t formatTagFloat = 3;
// The format chunk's extension names the sample format as a sub-format;
// many programs write every 24-bit and float file this way.
constexpr uint16_t formatTagExtensible = 0xFFFE;
// The header WavExporter writes: RIFF, a 16-byte fmt chunk, the data chunk's
// head.
constexpr size_t headerSize = 44;

// The 18 bytes of a fmt chunk, zero where the chunk is shorter.
struct FormatRecord {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t bytesPerSecond = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    uint16_t extensionSize = 0;
};

// One sample into and out of the host scale, wherever it is stored: WAV
// files and the host's wavetable use the same codes.
inline float fromPcm24(const uint8_t* lowFirst) {
    // The three bytes in bits 8 to 31, so the sign comes with them.
    auto v = static_cast<int32_t>(uint32_t{lowFirst[0]} << 8 | uint32_t{lowFirst[1]} << 16 |
                                  uint32_t{lowFirst[2]} << 24);
    return static_cast<float>(v) * 0.00390625f * 0.00390625f;
}
inline float fromPcm32(int32_t v) {
    return static_cast<float>(v) * 1.5258789e-5f;
}
// NaN becomes silence and anything beyond the float range (infinities,
// huge values scaled past it) the largest finite value of its sign: a
// take never holds a value that would poison the mix. Selects, not
// branches, so that the import loops vectorise.
inline float fromUnitFloat(float v) {
    const float scaled = v * 32768.0f;
    const float finite = scaled == scaled ? scaled : 0.0f;
    const float atLeastLowest = finite > -3.40282347e38f ? finite : -3.40282347e38f;
    return atLeastLowest < 3.40282347e38f ? atLeastLowest : 3.40282347e38f;
}
inline float toUnitFloat(float x) {
    return x * 3.0517578e-5f;
}

// bytes: the chunk's payload; only min(size, 18) bytes are read.
FormatRecord readFormatRecord(const uint8_t* bytes, size_t size);

// 16-, 24-, 32-bit PCM or 32-bit float, one or two channels.
bool isImportable(const FormatRecord& format);

// The sample format of an extensible format chunk (bytes: its payload, size
// bytes of it) as the plain tag that means the same: PCM with every bit of
// its container valid, or IEEE float. Any other extensible chunk keeps its
// tag, so isImportable refuses it.
void resolveExtensible(FormatRecord& format, const uint8_t* bytes, size_t size);

// Bytes of one frame of the file; 0 for a record that is not importable.
size_t fileFrameBytes(const FormatRecord& format);

// frames file frames of an importable format into interleaved stereo; a mono
// sample goes to both channels.
void decodeFrames(const FormatRecord& format, const uint8_t* data, size_t frames, float* stereo);

// Random access to the bytes of a WAV file, wherever they are.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual uint64_t size() const = 0;
    // Bytes copied; fewer than count only at the end.
    virtual size_t readAt(uint64_t offset, void* out, size_t count) = 0;
};

class MemorySource final : public ByteSource {
public:
    MemorySource(const uint8_t* bytes, size_t count) : bytes(bytes), count(count) {}
    uint64_t size() const override { return count; }
    size_t readAt(uint64_t offset, void* out, size_t wanted) override;

private:
    const uint8_t* bytes;
    size_t count;
};

// Walks the chunks from offset 12, each skipped with its pad byte when its
// size is odd. True with the offset of the chunk's 4-byte size field when a
// chunk with the code and a whole size field is found before the end.
bool findChunk(ByteSource& source, const char (&code)[5], uint64_t& sizeFieldAt);

// Where a WAV file's audio lies, as far as the file goes.
struct Layout {
    FormatRecord format;
    uint64_t dataStart = 0;
    // From the data chunk's size field, limited to the frames the file holds.
    uint64_t frames = 0;
};

// RIFF and WAVE marks, both chunks and an importable format.
bool readLayout(ByteSource& source, Layout& layout);

// The file's frames as interleaved stereo; false when they cannot be held
// (allocation failed).
bool decodeAll(ByteSource& source, const Layout& layout, Samples& stereo);

// Export side.
bool isKnownFormat(WavSampleFormat format);
uint16_t bitsPerSample(WavSampleFormat format);
// The 44-byte header for frames stereo frames at sampleRate.
void writeHeader(WavSampleFormat format, uint32_t sampleRate, uint32_t frames, uint8_t* out);
// count samples in the host scale, written as bitsPerSample(format) / 8 bytes
// each. Integer formats truncate toward zero and saturate at their range
// (NaN gives 0): a peak at full scale stays a peak instead of wrapping to
// the other sign.
void encodeSamples(WavSampleFormat format, const float* samples, size_t count, uint8_t* out);

// The two integer conversions every exporter shares.
int32_t truncateToInt32(float value);
inline int16_t saturateInt16(int32_t value) {
    return static_cast<int16_t>(value < -32768 ? -32768 : value > 32767 ? 32767 : value);
}
inline int16_t toInt16(float value) {
    return saturateInt16(truncateToInt32(value));
}

} // namespace spoolex::wav
