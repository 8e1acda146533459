// The WAV layout and sample conversions, on bytes in memory.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "generator/wavestore/WavCodec.h"

namespace {

using namespace spoolex::wav;
using spoolex::WavSampleFormat;
using Bytes = std::vector<uint8_t>;

void put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void chunk(Bytes& b, const char* code, const Bytes& payload, uint32_t sizeField) {
    b.insert(b.end(), code, code + 4);
    put32(b, sizeField);
    b.insert(b.end(), payload.begin(), payload.end());
    if (payload.size() & 1)
        b.push_back(0);
}

Bytes fmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bits) {
    Bytes f;
    auto p16 = [&](uint16_t v) { f.push_back(uint8_t(v)), f.push_back(uint8_t(v >> 8)); };
    p16(tag);
    p16(channels);
    put32(f, rate);
    put32(f, rate * channels * bits / 8);
    p16(static_cast<uint16_t>(channels * bits / 8));
    p16(bits);
    return f;
}

struct Chunk {
    const char* code;
    Bytes payload;
    int64_t sizeField = -1; // -1: the payload's size
};

Bytes riff(const std::vector<Chunk>& chunks) {
    Bytes b{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks)
        chunk(b, c.code, c.payload,
              c.sizeField < 0 ? static_cast<uint32_t>(c.payload.size())
                              : static_cast<uint32_t>(c.sizeField));
    return b;
}

bool decode(const Bytes& file, std::vector<float>& stereo, Layout& layout) {
    MemorySource source(file.data(), file.size());
    spoolex::Samples decoded;
    if (!readLayout(source, layout) || !decodeAll(source, layout, decoded))
        return false;
    stereo.assign(decoded.begin(), decoded.end());
    return true;
}

TEST(WavCodec, ImportConversionsAtFullScale) {
    std::vector<float> out;
    Layout layout;
    // 24-bit 0x7FFFFF and 0x800000; 32-bit 0x7FFFFFFF; float 1.0 and -0.5.
    ASSERT_TRUE(decode(
        riff({{"fmt ", fmt(1, 2, 44100, 24)}, {"data", {0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80}}}), out,
        layout));
    EXPECT_FLOAT_EQ(out[0], 32767.996f);
    EXPECT_EQ(out[1], -32768.0f);
    ASSERT_TRUE(decode(riff({{"fmt ", fmt(1, 1, 8000, 32)}, {"data", {0xFF, 0xFF, 0xFF, 0x7F}}}),
                       out, layout));
    EXPECT_EQ(out, (std::vector<float>{32768.0f, 32768.0f})); // rounds up in float
    Bytes floats;
    float values[2] = {1.0f, -0.5f};
    floats.resize(8);
    std::memcpy(floats.data(), values, 8);
    ASSERT_TRUE(decode(riff({{"fmt ", fmt(3, 2, 48000, 32)}, {"data", floats}}), out, layout));
    EXPECT_EQ(out, (std::vector<float>{32768.0f, -16384.0f}));
    EXPECT_EQ(layout.format.sampleRate, 48000u);
}

TEST(WavCodec, ChunksInAnyOrderWithPadBytes) {
    // data before fmt, an odd-sized chunk with its pad byte before both.
    std::vector<float> out;
    Layout layout;
    ASSERT_TRUE(decode(riff({{"LIST", {1, 2, 3}},
                             {"data", {0x10, 0x00, 0xF0, 0xFF}},
                             {"fmt ", fmt(1, 1, 22050, 16)}}),
                       out, layout));
    EXPECT_EQ(out, (std::vector<float>{16, 16, -16, -16}));
    EXPECT_EQ(layout.format.sampleRate, 22050u);
}

TEST(WavCodec, OddChunkWithoutItsPadByte) {
    // The last chunk may lack its pad byte; one inside the file misplaces
    // every chunk after it, and the walk finds no format.
    std::vector<float> out;
    Layout layout;
    Bytes atEnd = riff({{"fmt ", fmt(1, 1, 8000, 24)}});
    chunk(atEnd, "data", {1, 2, 3}, 3);
    atEnd.pop_back();
    ASSERT_TRUE(decode(atEnd, out, layout));
    EXPECT_EQ(out.size(), 2u);
    Bytes inside{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                 'd', 'a', 't', 'a', 3, 0, 0, 0, 1,   2,   3};
    chunk(inside, "fmt ", fmt(1, 1, 8000, 24), 16);
    EXPECT_FALSE(decode(inside, out, layout));
}

TEST(WavCodec, ExtensibleFormatsReadAsTheirPlainTags) {
    // cbSize 22, valid bits, channel mask, sub-format GUID.
    auto extensible = [](uint16_t subFormat, uint16_t channels, uint16_t bits, uint16_t valid) {
        Bytes f = fmt(0xFFFE, channels, 44100, bits);
        f.insert(f.end(), {22, 0, uint8_t(valid), uint8_t(valid >> 8), 3, 0, 0, 0});
        f.insert(f.end(), {uint8_t(subFormat), 0, 0, 0, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00,
                           0xAA, 0x00, 0x38, 0x9B, 0x71});
        return f;
    };
    std::vector<float> out;
    Layout layout;
    ASSERT_TRUE(decode(
        riff({{"fmt ", extensible(1, 2, 24, 24)}, {"data", {0xFF, 0xFF, 0x7F, 0x00, 0x00, 0x80}}}),
        out, layout));
    EXPECT_EQ(out, (std::vector<float>{32767.996f, -32768.0f}));
    Bytes half(4);
    const float value = -0.5f;
    std::memcpy(half.data(), &value, 4);
    ASSERT_TRUE(decode(riff({{"fmt ", extensible(3, 1, 32, 32)}, {"data", half}}), out, layout));
    EXPECT_EQ(out, (std::vector<float>{-16384.0f, -16384.0f}));
    // Fewer valid bits than the container, another sub-format, eight bits,
    // a chunk without the extension: refused as before.
    Bytes data(12);
    for (const Bytes& refused : {extensible(1, 2, 24, 20), extensible(2, 2, 16, 16),
                                 extensible(1, 1, 8, 8), fmt(0xFFFE, 2, 44100, 16)})
        EXPECT_FALSE(decode(riff({{"fmt ", refused}, {"data", data}}), out, layout));
}

TEST(WavCodec, NanAndInfinityNeverReachATake) {
    const float values[] = {std::nanf(""), INFINITY, -INFINITY, 1e38f, 0.25f};
    Bytes data(sizeof values);
    std::memcpy(data.data(), values, sizeof values);
    data.insert(data.end(), 4, 0); // a whole stereo frame
    std::vector<float> out;
    Layout layout;
    ASSERT_TRUE(decode(riff({{"fmt ", fmt(3, 2, 44100, 32)}, {"data", data}}), out, layout));
    EXPECT_EQ(out, (std::vector<float>{0.0f, FLT_MAX, -FLT_MAX, FLT_MAX, 8192.0f, 0.0f}));
}

TEST(WavCodec, RefusedLayouts) {
    std::vector<float> out;
    Layout layout;
    Bytes data{0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(decode(riff({{"fmt ", fmt(1, 1, 8000, 8)}, {"data", data}}), out, layout));
    EXPECT_FALSE(decode(riff({{"fmt ", fmt(1, 3, 8000, 16)}, {"data", data}}), out, layout));
    EXPECT_FALSE(decode(riff({{"fmt ", fmt(0xFFFE, 2, 8000, 16)}, {"data", data}}), out, layout));
    EXPECT_FALSE(decode(riff({{"fmt ", fmt(3, 2, 8000, 64)}, {"data", data}}), out, layout));
    // No data chunk: the walk ends at the end of the file.
    EXPECT_FALSE(decode(riff({{"fmt ", fmt(1, 2, 8000, 16)}}), out, layout));
    Bytes rifx = riff({{"fmt ", fmt(1, 2, 8000, 16)}, {"data", data}});
    rifx[3] = 'X';
    EXPECT_FALSE(decode(rifx, out, layout));
}

TEST(WavCodec, SizeFieldsBeyondTheFileReadTheFramesPresent) {
    std::vector<float> out;
    Layout layout;
    // Three whole stereo 16-bit frames and a half one, but the field says 4 GB.
    Bytes data{1, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 0};
    ASSERT_TRUE(
        decode(riff({{"fmt ", fmt(1, 2, 8000, 16)}, {"data", data, 0xFFFFFFF0}}), out, layout));
    EXPECT_EQ(out, (std::vector<float>{1, 2, 3, 4, 5, 6}));
    // A chunk size that jumps past the end ends the walk without a data chunk.
    EXPECT_FALSE(
        decode(riff({{"JUNK", {1, 2}, 0xFFFFFFFF}, {"fmt ", fmt(1, 2, 8000, 16)}, {"data", data}}),
               out, layout));
}

TEST(WavCodec, HeaderForFloatIsTheFortyFourBytes) {
    uint8_t header[headerSize];
    writeHeader(WavSampleFormat::Float32, 48000, 3, header);
    const uint8_t expected[headerSize] = {
        'R',  'I', 'F', 'F', 60, 0, 0,   0,   'W', 'A',  'V',  'E', 'f', 'm',  't',
        ' ',  16,  0,   0,   0,  3, 0,   2,   0,   0x80, 0xBB, 0,   0,   0x00, 0xDC,
        0x05, 0,   8,   0,   32, 0, 'd', 'a', 't', 'a',  24,   0,   0,   0};
    EXPECT_EQ(0, std::memcmp(header, expected, headerSize));
    writeHeader(WavSampleFormat::Int24, 44100, 1, header);
    EXPECT_EQ(header[20], 1);  // PCM
    EXPECT_EQ(header[32], 6);  // block align
    EXPECT_EQ(header[34], 24); // bits
}

TEST(WavCodec, ExportConversions) {
    // Int16 truncates toward zero and saturates: a float file's 1.0 stays
    // the loudest positive value.
    const float in[] = {1.9f, -1.9f, 32767.9f, 32768.0f, -32769.5f, 98304.0f, 40000.0f};
    uint8_t out16[14];
    encodeSamples(WavSampleFormat::Int16, in, 7, out16);
    std::vector<int16_t> got(7);
    std::memcpy(got.data(), out16, 14);
    EXPECT_EQ(got, (std::vector<int16_t>{1, -1, 32767, 32767, -32768, 32767, 32767}));

    // Int32 and Int24 saturate x * 65536 at the 32-bit range; NaN is silence.
    const float wide[] = {0.5f, -32768.0f, 32768.0f, 1e9f, -1e9f, std::nanf("")};
    uint8_t out32[24];
    encodeSamples(WavSampleFormat::Int32, wide, 6, out32);
    std::vector<int32_t> got32(6);
    std::memcpy(got32.data(), out32, 24);
    EXPECT_EQ(got32, (std::vector<int32_t>{32768, INT32_MIN, INT32_MAX, INT32_MAX, INT32_MIN, 0}));
    uint8_t out24[18];
    encodeSamples(WavSampleFormat::Int24, wide, 6, out24);
    EXPECT_EQ(Bytes(out24, out24 + 9), (Bytes{0x80, 0, 0, 0, 0, 0x80, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(Bytes(out24 + 15, out24 + 18), (Bytes{0, 0, 0}));

    const float unit[] = {32768.0f};
    uint8_t outFloat[4];
    encodeSamples(WavSampleFormat::Float32, unit, 1, outFloat);
    float back;
    std::memcpy(&back, outFloat, 4);
    EXPECT_EQ(back, 1.0f);
}

TEST(WavCodec, TwentyFourBitSamplesOfEveryLengthRoundTripByteForByte) {
    // Whole 24-bit values (exact in a float), across the pair and chunk
    // boundaries of the packing: each sample's three bytes, low first.
    uint32_t seed = 12345;
    auto next24 = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int32_t>(seed & 0xFFFFFF00u) / 256;
    };
    for (size_t count : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 1023, 1024, 1025, 2051}) {
        std::vector<int32_t> values(count);
        std::vector<float> hostScale(count);
        Bytes expected;
        for (size_t i = 0; i < count; ++i) {
            values[i] = i == 0 ? 0x7FFFFF : i == 1 ? -0x800000 : next24();
            hostScale[i] = static_cast<float>(values[i]) / 256.0f;
            for (int b = 0; b < 3; ++b)
                expected.push_back(static_cast<uint8_t>(static_cast<uint32_t>(values[i]) >> 8 * b));
        }
        Bytes encoded(3 * count + 1, 0xEE); // one guard byte
        encodeSamples(WavSampleFormat::Int24, hostScale.data(), count, encoded.data());
        EXPECT_EQ(encoded.back(), 0xEE) << count;
        encoded.pop_back();
        EXPECT_EQ(encoded, expected) << count;

        FormatRecord format;
        format.formatTag = formatTagPcm;
        format.bitsPerSample = 24;
        format.channels = 1;
        std::vector<float> stereo(2 * count);
        decodeFrames(format, encoded.data(), count, stereo.data());
        for (size_t i = 0; i < count; ++i)
            ASSERT_TRUE(stereo[2 * i] == hostScale[i] && stereo[2 * i + 1] == hostScale[i])
                << count << " mono " << i;
        format.channels = 2;
        std::vector<float> back(count - count % 2);
        decodeFrames(format, encoded.data(), count / 2, back.data());
        EXPECT_TRUE(std::equal(back.begin(), back.end(), hostScale.begin())) << count;
    }
}

} // namespace
