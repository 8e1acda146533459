// FLAC, AIFF and other formats as sox and flac write them, through the
// importer registry as "From File..." uses it.
#include <iterator>

#include "generator/transfers/Importer.h"
#include "tests/wavestore/WavFilesFixture.h"

namespace {

// What `flac -8` makes of the first 128 staircase values as 64 stereo frames
// at 48000 Hz: a file every build with the other importers reads, Windows
// too, where no sox runs.
const uint8_t flacFile[] = {
    0x66, 0x4C, 0x61, 0x43, 0x00, 0x00, 0x00, 0x22, 0x10, 0x00, 0x10, 0x00, 0x00, 0x00, 0x1A, 0x00,
    0x00, 0x1A, 0x0B, 0xB8, 0x02, 0xF0, 0x00, 0x00, 0x00, 0x40, 0x4C, 0xE8, 0xC6, 0xAE, 0xCC, 0x2B,
    0xE6, 0x64, 0x6C, 0x0C, 0xD0, 0x02, 0xEF, 0x5C, 0x7D, 0xA7, 0x84, 0x00, 0x00, 0x28, 0x20, 0x00,
    0x00, 0x00, 0x72, 0x65, 0x66, 0x65, 0x72, 0x65, 0x6E, 0x63, 0x65, 0x20, 0x6C, 0x69, 0x62, 0x46,
    0x4C, 0x41, 0x43, 0x20, 0x31, 0x2E, 0x34, 0x2E, 0x32, 0x20, 0x32, 0x30, 0x32, 0x32, 0x31, 0x30,
    0x32, 0x32, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xF8, 0x6A, 0x88, 0x00, 0x3F, 0x91, 0x15, 0xC0, 0x00,
    0x82, 0x02, 0x00, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x01, 0xFE, 0xFF, 0x17, 0x5F,
};

TEST(OtherFormatsEverywhere, AFlacFileImports) {
    if (spoolex::importerRegistry().size() == 1)
        GTEST_SKIP() << "this build imports WAV files only";
    SoxFiles files;
    const std::string path = files.path("tool.flac");
    SoxFiles::writeBytes(path, std::vector<uint8_t>(std::begin(flacFile), std::end(flacFile)));
    spoolex::Take take;
    std::string error;
    ASSERT_TRUE(spoolex::importAny(take, path, error)) << error;
    EXPECT_EQ(take.sampleRate, 48000);
    const std::vector<int16_t> values = SoxFiles::staircase(128);
    EXPECT_EQ(take.samples(), std::vector<float>(values.begin(), values.end()));
}

class OtherFormats : public ::testing::Test {
protected:
    void SetUp() override {
        if (spoolex::importerRegistry().size() == 1)
            GTEST_SKIP() << "this build imports WAV files only";
        if (!SoxFiles::haveSox() || !std::filesystem::exists("/usr/bin/flac"))
            GTEST_SKIP() << "sox or flac is missing: install the Debian packages sox and flac";
    }

    // name made by sox from the staircase, then converted by command (with
    // IN and OUT standing for the two files) when one is given.
    std::string made(const std::string& name, int channels, const std::string& soxFormat) {
        std::string wav = files.soxWav(name + ".wav", values, channels, soxFormat, 48000);
        std::string out = files.path(name);
        SoxFiles::run("sox -D " + wav + " " + out);
        return out;
    }

    std::vector<float> stereo(int channels) const {
        std::vector<float> expected;
        for (size_t i = 0; i < values.size(); i += channels) {
            expected.push_back(values[i]);
            expected.push_back(values[i + channels - 1]);
        }
        return expected;
    }

    SoxFiles files;
    const std::vector<int16_t> values = SoxFiles::staircase(2000);
};

TEST_F(OtherFormats, ImportsFlacAndAiffExactly) {
    std::string flacTool = files.path("tool.flac");
    std::string source = files.soxWav("tool.wav", values, 2, "-b 16", 48000);
    SoxFiles::run("flac -s -f -o " + flacTool + " " + source);
    struct Case {
        std::string path;
        int channels;
    } cases[] = {{flacTool, 2},
                 {made("s24.flac", 2, "-b 24"), 2},
                 {made("m16.flac", 1, "-b 16"), 1},
                 {made("s16.aiff", 2, "-b 16"), 2},
                 {made("m24.aif", 1, "-b 24"), 1},
                 {made("s32.aifc", 2, "-e float -b 32"), 2},
                 {made("s16.caf", 2, "-b 16"), 2}};
    for (const Case& c : cases) {
        spoolex::Take take;
        std::string error;
        ASSERT_TRUE(spoolex::importAny(take, c.path, error)) << c.path << ": " << error;
        EXPECT_EQ(take.sampleRate, 48000) << c.path;
        EXPECT_EQ(take.samples(), stereo(c.channels)) << c.path;
    }
}

TEST_F(OtherFormats, WavStaysWithItsOwnImporterAndTheDialogListsEveryFormat) {
    // What the WAV importer refuses no other importer takes.
    spoolex::Take take;
    std::string error;
    EXPECT_FALSE(spoolex::importAny(take, files.soxWav("8.wav", values, 2, "-b 8", 48000), error));
    EXPECT_EQ(error, "The file format is not recognised by any of the importers.");
    // Three channels, or a file that is not audio at all.
    EXPECT_FALSE(spoolex::importAny(take, made("3.flac", 3, "-b 16"), error));
    SoxFiles::writeBytes(files.path("text.flac"), {'f', 'L', 'a', 'C', 0, 1, 2});
    EXPECT_FALSE(spoolex::importAny(take, files.path("text.flac"), error));
    EXPECT_EQ(error, "The file format is not recognised by any of the importers.");

    EXPECT_EQ(spoolex::importerRegistry()[0]->description(), std::string("WAV format"));
    const std::string& filter = spoolex::importFilter();
    const std::string all = "*.wav;*.flac;*.aif;*.aiff;*.aifc;*.caf;*.au;*.snd";
    EXPECT_EQ(filter.substr(0, filter.find('\0', filter.find('\0') + 1)),
              "All supported (" + all + ")" + std::string(1, '\0') + all);
    EXPECT_NE(filter.find(std::string("FLAC format (*.flac)\0*.flac\0", 28)), std::string::npos);
    EXPECT_EQ(filter.substr(filter.size() - 6), std::string("*.snd\0", 6)); // and c_str's zero
}

} // namespace
