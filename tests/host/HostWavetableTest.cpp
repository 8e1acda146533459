// The stand-in host's wavetable: what machines see through the services, the
// song file keeping it, and the command-line jobs that fill and read it.
#include <gtest/gtest.h>

#include <cstring>

#include "host/Host.h"
#include "host/WaveCommands.h"
#include "tests/support/CapturedOutput.h"
#include "tests/wavestore/WavFilesFixture.h"

namespace {

TEST(HostWavetable, SongFileKeepsWavesAndSelection) {
    host::Host first;
    host::Wavetable& table = first.wavetable;
    ASSERT_TRUE(table.allocate(3, 6, "three", 22050));
    ASSERT_TRUE(table.allocate(200, 2, "last", 44100));
    EXPECT_FALSE(table.allocate(201, 2, "none", 44100));
    EXPECT_FALSE(table.allocate(0, 2, "none", 44100));
    const_cast<CWaveInfo*>(table.info(3))->flags = WaveFlagStereo;
    auto* level = const_cast<CWaveLevel*>(table.level(3, 0));
    level->numSamples = 3;
    for (int16_t i = 0; i < 6; ++i)
        level->samples[i] = static_cast<int16_t>(i - 3);
    table.select(3);

    host::SongDocument decoded;
    std::string error;
    ASSERT_TRUE(host::decodeSong(host::encodeSong(first.saveSong()), decoded, error)) << error;
    host::Host second;
    ASSERT_TRUE(second.loadSong(decoded, "", error)) << error;
    EXPECT_EQ(second.wavetable.selected(), 3);
    EXPECT_STREQ(second.wavetable.name(3), "three");
    EXPECT_EQ(second.wavetable.info(3)->flags, WaveFlagStereo);
    EXPECT_EQ(second.wavetable.level(3, 0)->numSamples, 3);
    EXPECT_EQ(second.wavetable.level(3, 0)->samplesPerSec, 22050);
    EXPECT_EQ(second.wavetable.data(3), table.data(3));
    EXPECT_EQ(second.wavetable.info(4), nullptr);
    EXPECT_EQ(second.wavetable.level(3, 1), nullptr);
    EXPECT_STREQ(second.wavetable.name(200), "last");

    // Records that promise more samples than the data holds are refused.
    decoded.waves[0].sampleCount = 4;
    host::Host third;
    EXPECT_FALSE(third.loadSong(decoded, "", error));
    EXPECT_EQ(error, "wave 3 is shorter than its sample count");
}

TEST(HostWavetable, CommandsLoadSelectAndSaveWaves) {
    if (!SoxFiles::haveSox())
        GTEST_SKIP() << "sox is missing";
    SoxFiles files;
    const std::vector<int16_t> values = SoxFiles::staircase(200);
    std::string song = files.path("song.sxs");
    std::FILE* out = std::tmpfile();
    ASSERT_EQ(host::waveLoadCommand(song, "0x10",
                                    files.soxWav("in24.wav", values, 2, "-t wavpcm -b 24"), out),
              0);
    ASSERT_EQ(host::waveLoadCommand(song, "2", files.soxWav("in16.wav", values, 1, "-b 16"), out),
              0);
    ASSERT_EQ(host::waveLoadCommand(song, "010", files.path("in16.wav"), out), 0); // not octal
    ASSERT_EQ(host::waveSelectCommand(song, "16", out), 0);
    EXPECT_EQ(host::waveLoadCommand(song, "201", files.path("in16.wav"), out), 1);
    // Slots in decimal, as they are read (010 too: no octal); the refusal
    // goes to the error stream.
    EXPECT_EQ(testsupport::readAll(out),
              song + ": wave 16 is now in24.wav\n" + song + ": wave 2 is now in16.wav\n" + song +
                  ": wave 10 is now in16.wav\n" + song + ": wave 16 (in24.wav) selected\n");
    std::fclose(out);

    host::SongDocument read;
    std::string error;
    ASSERT_TRUE(host::loadSongFile(song, read, error)) << error;
    host::Wavetable table;
    ASSERT_TRUE(table.loadFrom(read, error)) << error;
    EXPECT_EQ(table.selected(), 16);
    EXPECT_NE(table.info(10), nullptr);
    EXPECT_EQ(table.info(8), nullptr);
    EXPECT_EQ(table.info(16)->flags, WaveFlagStereo | WaveFlagExtended);
    EXPECT_EQ(table.level(16, 0)->numSamples, 2 * 100 + 8);
    EXPECT_EQ(table.info(2)->flags, 0);
    EXPECT_EQ(table.level(2, 0)->numSamples, 200);
    EXPECT_EQ(table.level(2, 0)->samples[7], values[7]);

    for (const char* slot : {"16", "2"}) {
        std::string wav = files.path(std::string("out") + slot + ".wav");
        ASSERT_EQ(host::waveSaveCommand(song, slot, wav, stdout), 0);
        std::vector<int16_t> back = files.soxValues(wav);
        if (std::string(slot) == "16") {
            EXPECT_EQ(back, values);
        } else {
            ASSERT_EQ(back.size(), 400u); // stereo from mono
            EXPECT_EQ(back[2 * 7], values[7]);
            EXPECT_EQ(back[2 * 7 + 1], values[7]);
        }
    }
}

} // namespace
