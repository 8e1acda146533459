#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "host/WavReader.h"

namespace {

struct Chunk {
    std::string code;
    std::vector<uint8_t> bytes;
};

void put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(v & 0xff);
    b.push_back((v >> 8) & 0xff);
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}

std::vector<uint8_t> formatChunk(int tag, int channels, int rate, int bits) {
    std::vector<uint8_t> f;
    put16(f, tag);
    put16(f, channels);
    put32(f, rate);
    put32(f, rate * channels * bits / 8);
    put16(f, channels * bits / 8);
    put16(f, bits);
    return f;
}

std::string writeWav(const std::vector<Chunk>& chunks, uint32_t dataSizeOverride = 0) {
    std::vector<uint8_t> b = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
    for (const Chunk& c : chunks) {
        b.insert(b.end(), c.code.begin(), c.code.end());
        put32(b, c.code == "data" && dataSizeOverride ? dataSizeOverride : c.bytes.size());
        b.insert(b.end(), c.bytes.begin(), c.bytes.end());
        if (c.bytes.size() & 1)
            b.push_back(0);
    }
    std::string path = ::testing::TempDir() + "reader-" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".wav";
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    return path;
}

TEST(WavReader, ConvertsEachSampleFormatToTheHostScale) {
    host::WavAudio audio;
    std::string error;
    std::vector<uint8_t> mono16;
    put16(mono16, 0x8000);
    put16(mono16, 1234);
    ASSERT_TRUE(host::readWav(writeWav({{"fmt ", formatChunk(1, 1, 22050, 16)}, {"data", mono16}}),
                              audio, error))
        << error;
    EXPECT_EQ(audio.sampleRate, 22050);
    EXPECT_EQ(audio.frames, (std::vector<float>{-32768, -32768, 1234, 1234}));

    std::vector<uint8_t> stereo24 = {0xff, 0xff, 0x7f, 0x00, 0x00, 0x80};
    ASSERT_TRUE(host::readWav(
        writeWav({{"fmt ", formatChunk(1, 2, 44100, 24)}, {"data", stereo24}}), audio, error));
    EXPECT_FLOAT_EQ(audio.frames[0], 32767.996f);
    EXPECT_EQ(audio.frames[1], -32768.0f);

    std::vector<uint8_t> float32;
    float one = 1.0f, half = -0.5f;
    float32.insert(float32.end(), reinterpret_cast<uint8_t*>(&one),
                   reinterpret_cast<uint8_t*>(&one) + 4);
    float32.insert(float32.end(), reinterpret_cast<uint8_t*>(&half),
                   reinterpret_cast<uint8_t*>(&half) + 4);
    ASSERT_TRUE(host::readWav(writeWav({{"fmt ", formatChunk(3, 2, 48000, 32)}, {"data", float32}}),
                              audio, error));
    EXPECT_EQ(audio.frames, (std::vector<float>{32768.0f, -16384.0f}));
}

TEST(WavReader, WalksChunksInAnyOrderWithPadBytes) {
    host::WavAudio audio;
    std::string error;
    std::vector<uint8_t> data;
    put16(data, 7);
    put16(data, 8);
    std::string path =
        writeWav({{"odd ", {1, 2, 3}}, {"data", data}, {"fmt ", formatChunk(1, 2, 8000, 16)}});
    ASSERT_TRUE(host::readWav(path, audio, error)) << error;
    EXPECT_EQ(audio.frames, (std::vector<float>{7, 8}));
}

TEST(WavReader, RefusesWhatItCannotPlayAndSurvivesLies) {
    host::WavAudio audio;
    std::string error;
    EXPECT_FALSE(host::readWav(writeWav({{"fmt ", formatChunk(1, 1, 8000, 8)}, {"data", {1, 2}}}),
                               audio, error));
    EXPECT_FALSE(host::readWav(
        writeWav({{"fmt ", formatChunk(1, 3, 8000, 16)}, {"data", {1, 2, 3, 4, 5, 6}}}), audio,
        error));
    EXPECT_FALSE(host::readWav(writeWav({{"fmt ", formatChunk(1, 2, 8000, 16)}}), audio, error));
    EXPECT_FALSE(host::readWav("/nonexistent/x.wav", audio, error));
    // A data size far beyond the file reads only what is there.
    std::vector<uint8_t> data;
    put16(data, 5);
    put16(data, 6);
    ASSERT_TRUE(
        host::readWav(writeWav({{"fmt ", formatChunk(1, 2, 8000, 16)}, {"data", data}}, 0x7fffffff),
                      audio, error));
    EXPECT_EQ(audio.frames, (std::vector<float>{5, 6}));
}

} // namespace
