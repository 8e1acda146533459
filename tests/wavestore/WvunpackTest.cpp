// Our take streams are standard WavPack: the command-line decoder reads them.
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

TEST_F(TakeRecordTest, TheCommandLineDecoderReadsOurStreamToTheSameSamples) {
    if (!fs::exists(wvunpackPath))
        GTEST_SKIP() << "wvunpack is missing: install the Debian package wavpack "
                        "(scripts/install-deps.sh)";
    fs::path folder =
        fs::temp_directory_path() / ("spoolex-wvunpack-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    fs::path wv = folder / "take.wv", raw = folder / "take.raw";

    spoolex::Take take = randomTake(50000, 21, 48000);
    // A mono stretch, so the decoder also meets mono-optimised blocks.
    for (size_t i = 0; i < 40000; i += 2)
        take.samples[i + 1] = take.samples[i];
    std::vector<uint8_t> stream;
    ASSERT_TRUE(spoolex::encodeTakeStream(take.samples, take.sampleRate, stream));
    std::ofstream(wv, std::ios::binary)
        .write(reinterpret_cast<const char*>(stream.data()),
               static_cast<std::streamsize>(stream.size()));

    std::string command = std::string(wvunpackPath) + " -q -y -r \"" + wv.string() + "\" -o \"" +
                          raw.string() + "\" 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;

    std::ifstream rawFile(raw, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(rawFile)),
                            std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), take.samples.size() * sizeof(float));
    std::vector<float> decoded(take.samples.size());
    std::memcpy(decoded.data(), bytes.data(), bytes.size());
    for (float& sample : decoded)
        sample *= 32768.0f;
    EXPECT_TRUE(sameBits(decoded, take.samples));
    fs::remove_all(folder);
}

} // namespace
