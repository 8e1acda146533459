// The input plug-in as the host drives it, through its slots.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include <vector>

#include "host/Host.h"
#include "input/InputMachineLayout.h"
#include "platform/testing/ScriptedUi.h"
#include "tests/support/GearPaths.h"

namespace {

using platform::testing::ScriptedUi;

class InputMachineTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.echoMessages = false;
        std::string error;
        plugin = host.loadPlugin(testsupport::inputPluginPath(), error);
        ASSERT_NE(plugin, nullptr) << error;
        placed = host.createMachine(*plugin, "Mic");
        ASSERT_NE(placed, nullptr);
        host.tick(); // defaults arrive
    }

    InputMachine::Fields& input() { return *static_cast<InputMachine::Fields*>(placed->machine); }

    // One block of frames, loud (at value) in the frames listed.
    void block(int frames, std::vector<int> loudFrames = {}, float value = 20000.0f) {
        std::vector<float> samples(2 * frames, 0.0f);
        for (int f : loudFrames)
            samples[2 * f + 1] = -value;
        EXPECT_FALSE(placed->machine->renderMono(samples.data(), frames, 1));
    }

    host::Host host;
    host::PluginLibrary* plugin = nullptr;
    host::HostMachine* placed = nullptr;
};

TEST_F(InputMachineTest, DescribesItselfAndItsValues) {
    const CMachineInfo& info = *plugin->info();
    EXPECT_EQ(info.type, 2);
    EXPECT_EQ(info.flags, 0x2020);
    EXPECT_STREQ(info.name, "Korvane Spoolex Input");
    EXPECT_STREQ(info.shortName, "SX Rec Src");
    EXPECT_STREQ(info.commands, "About...");
    ASSERT_EQ(info.numGlobalParameters, 6);
    EXPECT_STREQ(info.parameters[2]->name, "  Threshold");
    EXPECT_STREQ(info.parameters[3]->name, "  Release");
    EXPECT_EQ(info.numAttributes, 0);

    CMachineInterface& m = *placed->machine;
    EXPECT_STREQ(m.describeValue(0, 300), "300 smpl");
    EXPECT_STREQ(m.describeValue(1, 0), "Off");
    EXPECT_STREQ(m.describeValue(5, 1), "On");
    EXPECT_EQ(m.describeValue(5, 2), nullptr);
    EXPECT_STREQ(m.describeValue(2, 4096), "0.000 dB");
    EXPECT_STREQ(m.describeValue(2, 128), "-52.680 dB");
    EXPECT_STREQ(m.describeValue(2, 1), "-126.433 dB");
    EXPECT_STREQ(m.describeValue(2, 0), "-inf dB");
    EXPECT_STREQ(m.describeValue(3, 100), "100 ms");
    EXPECT_STREQ(m.describeValue(4, 60), "60: C 4");
    EXPECT_STREQ(m.describeValue(4, 0), "0: C -1");
    EXPECT_STREQ(m.describeValue(4, 61), "61: C# 4");
    EXPECT_STREQ(m.describeValue(4, 128), "None");
    EXPECT_EQ(m.describeValue(6, 0), nullptr);
}

TEST_F(InputMachineTest, TicksTurnParametersIntoWorkingValues) {
    EXPECT_EQ(input().latencySamples, 0);
    EXPECT_EQ(input().punchState, 1);
    EXPECT_FLOAT_EQ(input().threshold, static_cast<float>(std::pow(128 / 4096.0, 3.5) * 32768.0));
    EXPECT_EQ(input().release, 4410);
    host.setParameter(*placed, 0, 300);
    host.setParameter(*placed, 2, 4096);
    host.setParameter(*placed, 5, 0);
    host.tick();
    EXPECT_EQ(input().latencySamples, 300);
    EXPECT_EQ(input().threshold, 32768.0f);
    EXPECT_EQ(input().punchState, 0);
    // A tick without changes leaves everything as it was.
    host.tick();
    EXPECT_EQ(input().latencySamples, 300);
}

TEST_F(InputMachineTest, KeepsTheLastBlockAndClearsItWithoutInput) {
    std::vector<float> samples(2 * 64);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<float>(i);
    placed->machine->renderMono(samples.data(), 64, 1);
    EXPECT_EQ(input().blockFrames, 64);
    EXPECT_EQ(input().blockBuffer[127], 127.0f);
    placed->machine->renderMono(nullptr, 32, 0);
    EXPECT_EQ(input().blockFrames, 32);
    EXPECT_EQ(input().blockBuffer[63], 0.0f);
    EXPECT_EQ(input().blockBuffer[64], 64.0f); // beyond the block: untouched
    // An oversized block is cut to the buffer, never past it.
    std::vector<float> big(2 * 1000, 1.0f);
    placed->machine->renderMono(big.data(), 1000, 1);
    EXPECT_EQ(input().blockFrames, 256);
}

TEST_F(InputMachineTest, AutoPunchFollowsTheLevelAndReleasesAcrossBlocks) {
    host.setParameter(*placed, 1, 1); // auto punch on, release 100 ms = 4410 frames
    host.setParameter(*placed, 5, 0);
    host.tick();
    block(256, {255});
    EXPECT_EQ(input().punchState, 1);
    EXPECT_EQ(input().releaseCounter, 1);
    host.tick(); // the host shows Punch on
    EXPECT_EQ(input().punchState, 1);

    // 1 + 17 * 256 = 4353 < 4410; the 18th silent block reaches it.
    for (int i = 0; i < 17; ++i)
        block(256);
    EXPECT_EQ(input().punchState, 1);
    block(256);
    EXPECT_EQ(input().punchState, 0);
    host.tick();
    EXPECT_EQ(input().punchState, 0);

    // A quiet frame below the threshold does not punch in.
    block(256, {10}, input().threshold * 0.5f);
    EXPECT_EQ(input().punchState, 0);
    block(256, {10}, input().threshold);
    EXPECT_EQ(input().punchState, 1);
    EXPECT_EQ(input().releaseCounter, 246);
}

TEST_F(InputMachineTest, WithoutAutoPunchSilenceNeverPunchesOut) {
    for (int i = 0; i < 100; ++i)
        block(256);
    placed->machine->renderMono(nullptr, 256, 0);
    EXPECT_EQ(input().punchState, 1);
}

TEST_F(InputMachineTest, AboutSaysAbout) {
    placed->machine->runCommand(0);
    auto shown = ScriptedUi::instance().messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "About");
    EXPECT_EQ(shown[0].icon, platform::MessageIcon::Information);
}

// Runs in a fresh copy of this program (below): here an earlier test may
// have loaded the generator, and a loaded library is found again by the name
// it was loaded under, wherever the current folder is. On Linux it cannot
// even be unloaded, the C++ runtime marks it so.
void inputWithoutTheGenerator() {
    host::Host host;
    host.echoMessages = false;
    std::string error;
    host::PluginLibrary* plugin = host.loadPlugin(testsupport::inputPluginPath(), error);
    ASSERT_NE(plugin, nullptr) << error;
    // Neither beside the program nor in the current folder is there a Gear folder.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir("/"), 0);
    host::HostMachine* placed = host.createMachine(*plugin, "Mic");
    ASSERT_EQ(chdir(cwd), 0);
    ASSERT_NE(placed, nullptr);
    auto shown = ScriptedUi::instance().messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind("For Korvane Spoolex Input to work properly, you must have "
                                  "Korvane Spoolex.dll in your Gear\\Generators folder.\n\n"
                                  "LoadLibrary error: ",
                                  0),
              0u);
    EXPECT_GT(shown[0].text.size(), 120u); // the system's reason follows
    EXPECT_EQ(shown[0].icon, platform::MessageIcon::Error);
    auto& input = *static_cast<InputMachine::Fields*>(placed->machine);
    EXPECT_EQ(input.generatorLibrary, nullptr);
    host.tick();
    std::vector<float> samples(2 * 16, 3.0f);
    placed->machine->renderMono(samples.data(), 16, 1);
    EXPECT_EQ(input.blockBuffer[31], 3.0f);
    host.destroyMachine(placed);
    EXPECT_EQ(ScriptedUi::instance().messages().size(), 1u);
}

// Ends a fresh copy of the program: status 0 when every expectation held,
// else 1 with the failures on standard error, where the first copy shows them.
[[noreturn]] void exitWithTheExpectations() {
    const ::testing::TestResult& result =
        *::testing::UnitTest::GetInstance()->current_test_info()->result();
    for (int i = 0; i < result.total_part_count(); ++i) {
        const ::testing::TestPartResult& part = result.GetTestPartResult(i);
        if (part.failed())
            std::fprintf(stderr, "%s:%d: %s\n", part.file_name() ? part.file_name() : "?",
                         part.line_number(), part.message());
    }
    std::exit(result.Failed() ? 1 : 0);
}

TEST(InputMachineAlone, WithoutTheGeneratorItWarnsOnceAndWorksUnregistered) {
    // "threadsafe" starts the program anew for the statement.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            inputWithoutTheGenerator();
            exitWithTheExpectations();
        },
        ::testing::ExitedWithCode(0), "");
}

} // namespace
