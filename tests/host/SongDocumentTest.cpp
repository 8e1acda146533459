#include <gtest/gtest.h>

#include "host/SongDocument.h"

namespace {

host::SongDocument sampleSong() {
    host::SongDocument song;
    song.sampleRate = 48000;
    song.beatsPerMinute = 120;
    song.ticksPerBeat = 8;
    song.machines.push_back(
        {"Korvane Spoolex REVA 081029.x64", 1, "Spoolex", {250}, {4, 4, 0, 1, 2}});
    song.machines.push_back({"Korvane Spoolex Input REVA 081029.x64", 2, "Mic", {}, {}});
    song.patterns.push_back({0, "00", 16});
    song.patterns.push_back({0, "01", 32});
    song.sequences.push_back({0, {{0, 0}, {16, 1}, {48, -1}, {64, 0}}});
    return song;
}

void expectSame(const host::SongDocument& a, const host::SongDocument& b) {
    EXPECT_EQ(host::encodeSong(a), host::encodeSong(b));
}

TEST(SongDocument, RoundTripsAndKnowsWhereItEnds) {
    host::SongDocument song = sampleSong();
    host::SongDocument read;
    std::string error;
    ASSERT_TRUE(host::decodeSong(host::encodeSong(song), read, error)) << error;
    expectSame(song, read);
    EXPECT_EQ(read.machines[0].songData, (std::vector<uint8_t>{4, 4, 0, 1, 2}));
    EXPECT_EQ(read.endTick(), 80u);

    std::string path = ::testing::TempDir() + "song-roundtrip.sxs";
    ASSERT_TRUE(host::saveSongFile(path, song, error)) << error;
    ASSERT_TRUE(host::saveSongFile(path, song, error)) << error; // replaces
    ASSERT_TRUE(host::loadSongFile(path, read, error)) << error;
    expectSame(song, read);
}

TEST(SongDocument, TimingThatCannotBePlayedIsRefused) {
    struct Case {
        uint32_t sampleRate, tempo, ticksPerBeat;
        const char* says;
    };
    const Case cases[] = {{44100, 0, 4, "tempo (beats per minute) is 0"},
                          {44100, 125, 0, "ticks per beat is 0"},
                          {0, 125, 4, "sample rate (Hz) is 0"},
                          {44100, 0x80000000u, 4, "tempo (beats per minute) is 2147483648"},
                          {44100, 125, 0xFFFFFFFFu, "ticks per beat is 4294967295"},
                          {4000000000u, 125, 4, "sample rate (Hz) is 4000000000"}};
    for (const Case& c : cases) {
        host::SongDocument song = sampleSong();
        song.sampleRate = c.sampleRate;
        song.beatsPerMinute = c.tempo;
        song.ticksPerBeat = c.ticksPerBeat;
        host::SongDocument read;
        std::string error;
        EXPECT_FALSE(host::decodeSong(host::encodeSong(song), read, error)) << c.says;
        EXPECT_NE(error.find(c.says), std::string::npos) << error;
    }
}

TEST(SongDocument, EveryTruncationIsRefusedWithAReason) {
    std::vector<uint8_t> bytes = host::encodeSong(sampleSong());
    for (size_t size = 0; size < bytes.size(); ++size) {
        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + size);
        host::SongDocument read;
        std::string error;
        EXPECT_FALSE(host::decodeSong(cut, read, error)) << size;
        EXPECT_FALSE(error.empty()) << size;
    }
}

TEST(SongDocument, HostileCountsAndIndicesAreRefused) {
    std::vector<uint8_t> bytes = host::encodeSong(sampleSong());
    host::SongDocument read;
    std::string error;

    // The machine count sits after magic, version and three timing words.
    std::vector<uint8_t> hugeCount = bytes;
    hugeCount[24] = hugeCount[25] = hugeCount[26] = hugeCount[27] = 0xff;
    EXPECT_FALSE(host::decodeSong(hugeCount, read, error));
    EXPECT_EQ(error, "a count promises more than the file holds");

    host::SongDocument song = sampleSong();
    song.sequences[0].events[1].pattern = 7;
    EXPECT_FALSE(host::decodeSong(host::encodeSong(song), read, error));
    song = sampleSong();
    song.patterns[1].machine = 5;
    EXPECT_FALSE(host::decodeSong(host::encodeSong(song), read, error));

    std::vector<uint8_t> wrongMagic = bytes;
    wrongMagic[0] = 'X';
    EXPECT_FALSE(host::decodeSong(wrongMagic, read, error));
    EXPECT_EQ(error, "not a Spoolex song file");
    EXPECT_FALSE(host::loadSongFile("/nonexistent/song.sxs", read, error));
}

} // namespace
