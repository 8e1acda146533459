// Songs through the stand-in host's jobs, with the real plug-in loaded from
// the Gear folder.
#include <cstdio>
#include <fstream>
#include <iterator>

#include "generator/machine/PatternInfo.h"
#include "host/Commands.h"
#include "host/PluginFiles.h"
#include "host/WavReader.h"
#include "tests/core/GeneratorFixture.h"
#include "tests/support/CapturedOutput.h"

namespace {

using testsupport::readAll;

class SongCommands : public GeneratorTest {
protected:
    // A 16-tick pattern whose take (1000 left, -500 right) is active
    // throughout, played twice in a row.
    std::string writeSong() {
        host::HostMachine* placed = placeGenerator("Spoolex");
        host::HostPattern* a = host.createPattern(*placed, "A", 16);
        spoolex::Pattern& pattern = *generatorOf(placed).findPattern(a->handle());
        spoolex::Take& take = pattern.addTake();
        take.changeSamples().assign(2 * 200000, 0.0f);
        for (size_t f = 0; f < 200000; ++f) {
            take.changeSamples()[2 * f] = 1000.0f;
            take.changeSamples()[2 * f + 1] = -500.0f;
        }
        pattern.assignTake(0, 16, &take);
        pattern.tidyActiveTakes();
        host::HostSequence* sequence = host.addSequence(*placed);
        sequence->place(0, a);
        sequence->place(16, a);
        host::SongDocument song = host.saveSong();
        song.machines[0].plugin = host::generatorPluginStem; // played by the built plug-in
        std::string path = ::testing::TempDir() + "commands-song.sxs";
        std::string error;
        EXPECT_TRUE(host::saveSongFile(path, song, error)) << error;
        return path;
    }
};

TEST(PatternInfo, ReportsLengthMemoryAndActiveTakes) {
    host::Host host;
    spoolex::installPlatformUserInterface();
    host.echoMessages = false;
    host::HostMachine* placed = host.createMachine(
        spoolex::machineDescription(),
        [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, "Spoolex");
    host::HostPattern* hostPattern = host.createPattern(*placed, "P", 64);
    auto& machine = *static_cast<spoolex::mi*>(placed->machine);
    spoolex::Pattern& pattern = *machine.findPattern(hostPattern->handle());
    spoolex::Take& take = pattern.addTake();
    take.changeSamples().resize(262144);
    pattern.assignTake(0, 64, &take);
    pattern.tidyActiveTakes();
    EXPECT_EQ(spoolex::patternInfoText(pattern),
              "64 ticks\nTotal memory usage: 1.00 MB\n\nActive takes:\n  0.000000 : 0\n"
              "  64.000000 : NULL\n");
}

TEST_F(SongCommands, InfoShowsEachPatternsReportThroughItsEditor) {
    std::string song = writeSong();
    std::FILE* out = std::tmpfile();
    ASSERT_EQ(host::infoCommand(song, SPOOLEX_GEAR_DIR, out), 0);
    EXPECT_EQ(readAll(out), "song: 44100 Hz, 126 bpm, 4 ticks per beat; 32 ticks, 3.810 s\n"
                            "Spoolex / A: 16 ticks, 1.905 s\n  take 0: 4.535 s at 44100 Hz\n"
                            "16 ticks\nTotal memory usage: 1.53 MB\n\nActive "
                            "takes:\n  0.000000 : 0\n  16.000000 : NULL\n\n");
    std::fclose(out);
}

TEST_F(SongCommands, RenderPlaysTheSongFromStartToEnd) {
    std::string song = writeSong();
    std::string wav = ::testing::TempDir() + "commands-render.wav";
    std::FILE* out = std::tmpfile();
    ASSERT_EQ(host::renderCommand(song, wav, SPOOLEX_GEAR_DIR, out), 0);
    std::fclose(out);
    host::WavAudio audio;
    std::string error;
    ASSERT_TRUE(host::readWav(wav, audio, error)) << error;
    EXPECT_EQ(audio.sampleRate, 44100);
    // 32 ticks at 126 bpm and 4 ticks per beat, then the fade-out tail.
    double samplesPerTick = 44100.0 * 60 / (126 * 4);
    EXPECT_NEAR(static_cast<double>(audio.frameCount()), 32 * samplesPerTick + 2048, 256 + 1);
    // Full gain after the fade-in, through the loop into the second pass.
    for (size_t f : {size_t{200}, size_t{5000}, static_cast<size_t>(20 * samplesPerTick)}) {
        EXPECT_FLOAT_EQ(audio.frames[2 * f], 1000.0f) << f;
        EXPECT_FLOAT_EQ(audio.frames[2 * f + 1], -500.0f) << f;
    }
    EXPECT_EQ(audio.frames[0], 0.0f); // the fade-in starts at gain 0
    EXPECT_EQ(audio.frames[audio.frames.size() - 2], 0.0f);
}

TEST_F(SongCommands, ASongSurvivesTheRealPluginUnchanged) {
    std::string path = writeSong();
    host::SongDocument song;
    std::string error;
    ASSERT_TRUE(host::loadSongFile(path, song, error));
    host::Host fresh;
    fresh.echoMessages = false;
    ASSERT_TRUE(fresh.loadSong(song, SPOOLEX_GEAR_DIR, error)) << error;
    EXPECT_TRUE(fresh.messages.empty());
    EXPECT_EQ(host::encodeSong(fresh.saveSong()), host::encodeSong(song));
}

} // namespace
