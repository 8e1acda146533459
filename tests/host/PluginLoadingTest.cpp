// The built generator plug-in, loaded by file name as the real host loads it
// and driven only through its exports and table slots.
#include <gtest/gtest.h>

#include <cstring>

#include "host/Host.h"
#include "platform/testing/ScriptedUi.h"
#include "tests/support/GearPaths.h"

namespace {

using platform::testing::ScriptedUi;

class PluginLoading : public ::testing::Test {
protected:
    void SetUp() override {
        host.echoMessages = false;
        std::string error;
        plugin = host.loadPlugin(testsupport::generatorPluginPath(), error);
        ASSERT_NE(plugin, nullptr) << error;
    }

    host::Host host;
    host::PluginLibrary* plugin = nullptr;
};

TEST_F(PluginLoading, DescribesItselfExactly) {
    const CMachineInfo& info = *plugin->info();
    EXPECT_EQ(info.type, 1);
    EXPECT_EQ(info.version, 65);
    EXPECT_EQ(info.flags, 0x1201);
    EXPECT_EQ(info.minTracks, 0);
    EXPECT_EQ(info.maxTracks, 0);
    EXPECT_STREQ(info.name, "Korvane Spoolex");
    EXPECT_STREQ(info.shortName, "Spoolex");
    EXPECT_STREQ(info.commands, "/Record source\n/Arm\nChange wave directory...\nAbout...");
    EXPECT_EQ(info.libraryInterface, nullptr);

    ASSERT_EQ(info.numGlobalParameters, 1);
    EXPECT_EQ(info.numTrackParameters, 0);
    const CMachineParameter& dummy = *info.parameters[0];
    EXPECT_EQ(dummy.type, 2);
    EXPECT_STREQ(dummy.name, "Dummy");
    EXPECT_STREQ(dummy.description, "Dummy");
    EXPECT_EQ(dummy.minValue, 0);
    EXPECT_EQ(dummy.maxValue, 128);
    EXPECT_EQ(dummy.noValue, 255);
    EXPECT_EQ(dummy.flags, 2);
    EXPECT_EQ(dummy.defaultValue, 64);

    ASSERT_EQ(info.numAttributes, 1);
    const CMachineAttribute& crossfade = *info.attributes[0];
    EXPECT_STREQ(crossfade.name, "Crossfade length in samples");
    EXPECT_EQ(crossfade.minValue, 1);
    EXPECT_EQ(crossfade.maxValue, 1000);
    EXPECT_EQ(crossfade.defaultValue, 100);
}

TEST_F(PluginLoading, MachinesAnswerThroughTheirSlots) {
    host::HostMachine* machine = host.createMachine(*plugin, "Spoolex");
    ASSERT_NE(machine, nullptr);
    ASSERT_NE(machine->extension, nullptr);
    EXPECT_EQ(machine->machine->extensionInterface(), machine->extension);
    EXPECT_EQ(host.subMenu(*machine, 0), std::vector<std::string>{"*None"});
    host.runCommand(*machine, 2 << 8);
    EXPECT_EQ(host.subMenu(*machine, 1), std::vector<std::string>{"*Arm"});
    EXPECT_FALSE(machine->machine->renderMono(nullptr, 0, 0));
    EXPECT_EQ(machine->machine->describeValue(0, 64), nullptr);
    host.destroyMachine(machine);
}

TEST_F(PluginLoading, MessagesFromThePluginReachTheProgramsUser) {
    host.version = 1;
    host::HostMachine* machine = host.createMachine(*plugin, "Old host");
    ASSERT_NE(machine, nullptr);
    auto shown = ScriptedUi::instance().messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "Korvane Spoolex");
    EXPECT_NE(shown[0].text.find("9 August 2008"), std::string::npos);
}

TEST_F(PluginLoading, ManyMachinesComeAndGo) {
    std::vector<host::HostMachine*> machines;
    for (int i = 0; i < 5; ++i)
        machines.push_back(host.createMachine(*plugin, "m" + std::to_string(i)));
    host.destroyMachine(machines[2]);
    host.destroyMachine(machines[0]);
    host.destroyMachine(machines[4]);
    EXPECT_EQ(host.machines().size(), 2u);
    EXPECT_EQ(host.subMenu(*machines[1], 1), std::vector<std::string>{"Arm"});
}

} // namespace
