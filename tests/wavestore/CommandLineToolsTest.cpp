// Our take streams against the WavPack command-line tools: the decoder reads
// ours, and streams made by the encoder in layouts we never write are refused.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tests/wavestore/TakeRecordFixture.h"

namespace {

namespace fs = std::filesystem;

const char* const wvunpackPath = "/usr/bin/wvunpack";
const char* const wavpackPath = "/usr/bin/wavpack";

class CommandLineTools : public TakeRecordTest {
protected:
    void SetUp() override {
        TakeRecordTest::SetUp();
#if defined(_WIN32)
        // Under Wine the paths exist, but the tools are Linux programs.
        GTEST_SKIP() << "the WavPack command-line tools run on Linux only";
#endif
        if (!fs::exists(wvunpackPath) || !fs::exists(wavpackPath))
            GTEST_SKIP() << "wavpack and wvunpack are missing: install the Debian package "
                            "wavpack (scripts/install-deps.sh)";
        folder = fs::temp_directory_path() / ("spoolex-wv-" + std::to_string(::getpid()));
        fs::create_directories(folder);
    }

    void TearDown() override {
        if (!folder.empty())
            fs::remove_all(folder);
        TakeRecordTest::TearDown();
    }

    static void writeFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }

    static std::vector<uint8_t> readFile(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    }

    static void run(const std::string& command) {
        ASSERT_EQ(std::system((command + " 2>/dev/null").c_str()), 0) << command;
    }

    // A stream the encoder makes from raw 16-bit PCM of the given channels.
    std::vector<uint8_t> toolStream(int channels) {
        std::vector<uint8_t> pcm(4000);
        for (size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = static_cast<uint8_t>(i * 37 % 251);
        fs::path raw = folder / "in.raw", wv = folder / "out.wv";
        writeFile(raw, pcm);
        std::string format = "--raw-pcm=44100,16," + std::to_string(channels);
        run(std::string(wavpackPath) + " -q -y " + format + " \"" + raw.string() + "\" -o \"" +
            wv.string() + "\"");
        return readFile(wv);
    }

    fs::path folder;
};

TEST_F(CommandLineTools, TheDecoderReadsOurStreamToTheSameSamples) {
    spoolex::Take take = randomTake(50000, 21, 48000);
    // A mono stretch, so the decoder also meets mono-optimised blocks.
    for (size_t i = 0; i < 40000; i += 2)
        take.changeSamples()[i + 1] = take.samples()[i];
    std::vector<uint8_t> stream;
    ASSERT_TRUE(spoolex::encodeTakeStream(take.samples(), take.sampleRate, stream));
    fs::path wv = folder / "take.wv", raw = folder / "take.raw";
    writeFile(wv, stream);
    run(std::string(wvunpackPath) + " -q -y -r \"" + wv.string() + "\" -o \"" + raw.string() +
        "\"");

    std::vector<uint8_t> bytes = readFile(raw);
    ASSERT_EQ(bytes.size(), take.samples().size() * sizeof(float));
    std::vector<float> decoded(take.samples().size());
    std::memcpy(decoded.data(), bytes.data(), bytes.size());
    for (float& sample : decoded)
        sample *= 32768.0f;
    EXPECT_TRUE(sameBits(decoded, take.samples()));
}

TEST_F(CommandLineTools, StreamsOfOtherLayoutsAreRefusedBeforeUnpacking) {
    // Unpacking them into a stereo float take would overrun it or garble it.
    for (int channels : {1, 2, 6}) {
        std::vector<uint8_t> stream = toolStream(channels);
        ASSERT_FALSE(stream.empty());
        spoolex::Take loaded = randomTake(10, 1);
        host.messages.clear();
        EXPECT_EQ(load(recordWith(stream, static_cast<uint32_t>(stream.size())), loaded),
                  spoolex::TakeLoad::Failed);
        EXPECT_TRUE(loaded.samples().empty());
        EXPECT_EQ(host.messages,
                  std::vector<std::string>{std::string(loadErrorPrefix) +
                                           "The stream does not hold two channels of 32-bit "
                                           "float samples."})
            << channels << " channels";
    }
}

} // namespace
