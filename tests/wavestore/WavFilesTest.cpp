// Our importer and exporter against WAV files as sox writes and reads them.
#include <algorithm>
#include <cstring>

#include "generator/transfers/Importer.h"
#include "generator/wavestore/Exporter.h"
#include "tests/wavestore/WavFilesFixture.h"

namespace {

using spoolex::Take;
using spoolex::WavSampleFormat;

class WavFiles : public ::testing::Test {
protected:
    void SetUp() override {
        if (!SoxFiles::haveSox())
            GTEST_SKIP() << "sox is missing: install the Debian package sox";
    }

    static std::vector<float> stereoOf(const std::vector<int16_t>& values, int channels) {
        std::vector<float> stereo;
        for (size_t i = 0; i < values.size(); i += channels) {
            stereo.push_back(values[i]);
            stereo.push_back(values[i + channels - 1]);
        }
        return stereo;
    }

    SoxFiles files;
    spoolex::WavImporter importer;
};

TEST_F(WavFiles, ImportsWhatSoxWritesInEveryFormat) {
    const std::vector<int16_t> values = SoxFiles::staircase(600);
    struct Case {
        const char* format;
        int channels;
    } cases[] = {{"-b 16", 2},
                 {"-b 16", 1},
                 {"-b 24", 2}, // sox writes the extensible tag for these
                 {"-b 24", 1},
                 {"-e float -b 32", 2},
                 {"-t wavpcm -b 24", 2},
                 {"-t wavpcm -b 24", 1},
                 {"-t wavpcm -b 32", 2},
                 {"-t wavpcm -e float -b 32", 2},
                 {"-t wavpcm -e float -b 32", 1}};
    int n = 0;
    for (const Case& c : cases) {
        std::string wav =
            files.soxWav("in" + std::to_string(n++) + ".wav", values, c.channels, c.format, 32000);
        ASSERT_TRUE(importer.canImport(wav)) << c.format << " " << c.channels;
        Take take;
        ASSERT_TRUE(importer.importInto(take, wav));
        EXPECT_EQ(take.sampleRate, 32000);
        EXPECT_EQ(take.samples(), stereoOf(values, c.channels)) << c.format << " " << c.channels;
    }
}

TEST_F(WavFiles, ChunkLayoutsSoxDoesNotWrite) {
    // sox's own chunks rearranged: a LIST chunk before the data; then data
    // before fmt, with an odd-sized chunk (and its pad byte) first.
    const std::vector<int16_t> values{1, -1, 300, -300};
    std::string written = files.soxWav("c.wav", values, 2, "-b 16");
    std::vector<uint8_t> bytes = SoxFiles::readBytes(written);
    auto chunk = [&](const char* code) {
        auto at = static_cast<size_t>(std::search(bytes.begin(), bytes.end(), code, code + 4) -
                                      bytes.begin());
        uint32_t size;
        std::memcpy(&size, &bytes[at + 4], 4);
        return std::vector<uint8_t>(bytes.begin() + at, bytes.begin() + at + 8 + size);
    };
    const std::vector<uint8_t> fmt = chunk("fmt "), data = chunk("data");
    const std::vector<uint8_t> list{'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'};
    const std::vector<uint8_t> odd{'o', 'd', 'd', ' ', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    for (const auto& order : {std::vector<std::vector<uint8_t>>{fmt, list, data},
                              std::vector<std::vector<uint8_t>>{odd, data, fmt}}) {
        std::vector<uint8_t> rebuilt(bytes.begin(), bytes.begin() + 12);
        for (const auto& piece : order)
            rebuilt.insert(rebuilt.end(), piece.begin(), piece.end());
        std::string path = files.path("rebuilt.wav");
        SoxFiles::writeBytes(path, rebuilt);
        Take take;
        ASSERT_TRUE(importer.canImport(path) && importer.importInto(take, path));
        EXPECT_EQ(take.samples(), stereoOf(values, 2));
    }
}

TEST_F(WavFiles, RefusesEightBitThreeChannelsAndRatesATakeCannotKeep) {
    const std::vector<int16_t> values = SoxFiles::staircase(30);
    EXPECT_FALSE(importer.canImport(files.soxWav("8.wav", values, 2, "-b 8")));
    EXPECT_FALSE(importer.canImport(files.soxWav("3.wav", values, 3, "-b 16")));
    EXPECT_FALSE(importer.canImport(files.path("missing.wav")));
    Take take;
    std::string error;
    for (const char* refused : {"8.wav", "3.wav"}) {
        EXPECT_FALSE(spoolex::importAny(take, files.path(refused), error));
        EXPECT_EQ(error, "The file format is not recognised by any of the importers.");
    }
    // The rate field rewritten: 0 would be silent, 0xFFFFFFFF garbage, and
    // the take store keeps 1000 to 1536000 Hz only.
    std::vector<uint8_t> bytes = SoxFiles::readBytes(files.soxWav("r.wav", values, 2, "-b 16"));
    for (uint32_t rate : {0u, 999u, 1536001u, 0xFFFFFFFFu, 1000u, 1536000u}) {
        std::memcpy(&bytes[24], &rate, 4);
        SoxFiles::writeBytes(files.path("r.wav"), bytes);
        const bool keeps = rate == 1000u || rate == 1536000u;
        EXPECT_EQ(spoolex::importAny(take, files.path("r.wav"), error), keeps) << rate;
        if (!keeps) {
            EXPECT_EQ(error, "The file format is not recognised by any of the importers.");
        }
    }
    EXPECT_EQ(take.sampleRate, 1536000);
}

TEST_F(WavFiles, SoxReadsEveryExportFormatBack) {
    Take take;
    take.sampleRate = 48000;
    const std::vector<int16_t> values = SoxFiles::staircase(1024);
    const std::vector<float> stereo = stereoOf(values, 2);
    take.changeSamples().assign(stereo.begin(), stereo.end());
    for (auto format : {WavSampleFormat::Int16, WavSampleFormat::Float32, WavSampleFormat::Int32,
                        WavSampleFormat::Int24}) {
        std::string wav = files.path("out.wav");
        ASSERT_TRUE(spoolex::WavExporter(format).exportRange(take, wav, 100, 300));
        EXPECT_EQ(files.soxValues(wav),
                  std::vector<int16_t>(values.begin() + 200, values.begin() + 600))
            << static_cast<int>(format);
        EXPECT_EQ(SoxFiles::readBytes(wav).size(),
                  44u + 200u * 2u *
                            (format == WavSampleFormat::Int16   ? 2u
                             : format == WavSampleFormat::Int24 ? 3u
                                                                : 4u));
    }
    // Peaks beyond 16 bits saturate instead of flipping sign.
    take.changeSamples().assign({32768.0f, 40000.0f, -40000.0f, -32768.5f});
    ASSERT_TRUE(spoolex::WavExporter(WavSampleFormat::Int16)
                    .exportRange(take, files.path("peaks.wav"), 0, 2));
    EXPECT_EQ(files.soxValues(files.path("peaks.wav")),
              (std::vector<int16_t>{32767, 32767, -32768, -32768}));
    // Truncation toward zero through a 16-bit round trip.
    take.changeSamples() = {2.7f, -2.7f};
    std::string wav = files.path("t.wav");
    ASSERT_TRUE(spoolex::WavExporter(WavSampleFormat::Int16).exportRange(take, wav, 0, 1));
    Take back;
    ASSERT_TRUE(importer.importInto(back, wav));
    EXPECT_EQ(back.samples(), (std::vector<float>{2.0f, -2.0f}));
    EXPECT_FALSE(
        spoolex::WavExporter(static_cast<WavSampleFormat>(7)).exportRange(take, wav, 0, 1));
    EXPECT_FALSE(spoolex::WavExporter(WavSampleFormat::Int16)
                     .exportRange(take, files.path("no/such/folder.wav"), 0, 1));
}

#if defined(__linux__)
TEST_F(WavFiles, AFullDiskFailsTheExportWhateverItsSize) {
    // Small files fail only when the last buffer is written at the close,
    // large ones on the way.
    Take take;
    take.sampleRate = 44100;
    for (size_t frames : {1, 100000}) {
        take.changeSamples().assign(2 * frames, 100.0f);
        EXPECT_FALSE(spoolex::WavExporter(WavSampleFormat::Float32)
                         .exportRange(take, "/dev/full", 0, static_cast<uint32_t>(frames)))
            << frames;
    }
}
#endif

} // namespace
