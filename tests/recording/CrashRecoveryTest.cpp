// A recording killed outright, as a crash ends it, and brought back from its
// copy on disk: the stand-in host records at the pace of real time in a
// child process, which is killed a few seconds in.
#include <filesystem>

#include "host/Recover.h"
#include "host/WavFile.h"
#include "platform/DurableFiles.h"
#include "tests/core/GeneratorFixture.h"
#include "tests/support/CapturedOutput.h"
#include "tests/support/ChildProcess.h"
#include "tests/support/GearPaths.h"

namespace fs = std::filesystem;

namespace {

constexpr int sampleRate = 44100;
constexpr int framesPerTick = 5250; // 126 bpm, 4 ticks per beat
constexpr int latency = 300;

// Never silent, never repeating within a tick; host sample scale.
float inputValue(size_t frame, int channel) {
    return channel == 0 ? 1000.0f + static_cast<float>(frame % 7919)
                        : -1000.0f - static_cast<float>(frame % 6007);
}

class CrashRecovery : public GeneratorTest {};

TEST_F(CrashRecovery, AKilledRecordingComesBackExactUpToASecondBeforeTheKill) {
    const fs::path folder = fs::path(::testing::TempDir()) / "spoolex-crash";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string song = (folder / "song.sxs").string();
    const std::string recovered = (folder / "recovered.sxs").string();
    const std::string inputPath = (folder / "input.wav").string();
    const std::string recordings = (folder / "recordings").string();

    // A song with a 40-second pattern, and an input a little longer.
    const int ticks = 336;
    const size_t frames = static_cast<size_t>(ticks) * framesPerTick + 4096;
    {
        std::vector<float> normalised(2 * frames);
        for (size_t f = 0; f < frames; ++f)
            for (int c = 0; c < 2; ++c)
                normalised[2 * f + c] = inputValue(f, c) / hostSampleScale;
        std::string error;
        ASSERT_TRUE(host::writeFloatWav(inputPath, sampleRate, normalised, error)) << error;
        host::Host maker;
        maker.echoMessages = false;
        host::PluginLibrary* generator =
            maker.loadPlugin(testsupport::generatorPluginPath(), error);
        host::PluginLibrary* input = maker.loadPlugin(testsupport::inputPluginPath(), error);
        ASSERT_TRUE(generator && input) << error;
        host::HostMachine* spoolex = maker.createMachine(*generator, "Spoolex");
        maker.createMachine(*input, "Mic");
        maker.addSequence(*spoolex)->place(0, maker.createPattern(*spoolex, "Long", ticks));
        ASSERT_TRUE(host::saveSongFile(song, maker.saveSong(), error)) << error;
    }

    size_t played = 0;
    {
        testsupport::ChildProcess child(SPOOLEX_HOST_PROGRAM,
                                        {"record", song, "--input", inputPath, "--latency",
                                         std::to_string(latency), "--realtime", "--recordings",
                                         recordings, "--gear", SPOOLEX_GEAR_DIR});
        ASSERT_TRUE(child.started());
        std::string line;
        while (played < 4 * sampleRate && child.readLine(line)) {
            unsigned long long reported = 0;
            if (std::sscanf(line.c_str(), "played %llu frames", &reported) == 1)
                played = static_cast<size_t>(reported);
        }
        child.kill();
        child.wait();
    }
    ASSERT_GE(played, 4u * sampleRate) << "the recording never got going";

    // Recovered through the command, into a new song file.
    const std::string before = platform::environmentVariable("SPOOLEX_RECORDINGS");
    host::useRecordingsFolder(recordings);
    std::FILE* out = std::tmpfile();
    int status = host::recoverCommand(song, recovered, false, SPOOLEX_GEAR_DIR, out);
    host::useRecordingsFolder(before);
    std::string said = testsupport::readAll(out);
    std::fclose(out);
    ASSERT_EQ(status, 0) << said;
    EXPECT_NE(said.find("\"Long\" from tick 0, "), std::string::npos) << said;
    EXPECT_NE(said.find("Added as new takes."), std::string::npos) << said;

    // The take itself, read by the machine's own code from the saved song.
    host::SongDocument document;
    std::string error;
    ASSERT_TRUE(host::loadSongFile(recovered, document, error)) << error;
    const std::vector<uint8_t>& data = document.machines.at(0).songData;
    host::HostMachine* placed = host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Spoolex", &data);
    host.createPattern(*placed, "Long", ticks);
    spoolex::Pattern& pattern = *generatorOf(placed).patterns().at(0);
    ASSERT_EQ(pattern.takes.size(), 1u);
    const spoolex::Samples& take = pattern.takes[0]->samples();
    ASSERT_EQ(take.size(), 2u * ticks * framesPerTick);

    // Take frame f holds input frame f + latency.
    const size_t sure = played - latency - sampleRate;
    for (size_t f = 0; f < sure; ++f)
        for (int c = 0; c < 2; ++c)
            ASSERT_EQ(take[2 * f + c], inputValue(f + latency, c)) << "frame " << f;
    // After that: the input as far as it was written, then silence.
    size_t f = sure;
    while (f < take.size() / 2 && take[2 * f] == inputValue(f + latency, 0) &&
           take[2 * f + 1] == inputValue(f + latency, 1))
        ++f;
    const size_t written = f;
    for (; f < take.size() / 2; ++f)
        ASSERT_TRUE(take[2 * f] == 0.0f && take[2 * f + 1] == 0.0f) << "frame " << f;
    EXPECT_LT(written, played + 2 * sampleRate);
    RecordProperty("frames_played", std::to_string(played));
    RecordProperty("frames_recovered", std::to_string(written));
    // Punched in all along: active from its start to what was written.
    ASSERT_GE(pattern.activeTakes.size(), 2u);
    EXPECT_EQ(pattern.activeTakes[0].take, pattern.takes[0].get());
    fs::remove_all(folder);
}

} // namespace
