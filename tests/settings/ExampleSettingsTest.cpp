#include "platform/ModulePath.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/GearPaths.h"

namespace {

using ExampleSettings = SettingsTest;

TEST_F(ExampleSettings, TheFileBesideTheProgramIsReadByDefault) {
    static int anchor;
    EXPECT_EQ(spoolex::settingsFilePath(),
              platform::folderOf(platform::modulePath(&anchor)) + "Korvane Spoolex settings.xml");
    spoolex::setSettingsFilePath("/elsewhere/settings.xml");
    EXPECT_EQ(spoolex::settingsFilePath(), "/elsewhere/settings.xml");
}

// The build puts the example beside the test programs as beside the plug-in.
TEST_F(ExampleSettings, TheExampleLoadsWithoutAnyMessage) {
    spoolex::mi& machine = generatorOf(placeGenerator());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(shownMessages().empty());
    ASSERT_EQ(machine.waveEditors().size(), 1u);
    EXPECT_NE(machine.waveEditors()[0].arguments.find("%1"), std::string::npos);
    EXPECT_GE(machine.shortcuts().size(), 3u);
    // The optional sections are there as comments only.
    EXPECT_EQ(spoolex::defaultProjectFolder(), "");
    EXPECT_TRUE(spoolex::redrawWhileRecording());
}

TEST_F(ExampleSettings, AFreshInstallationShowsNoSettingsError) {
    std::string error;
    host::PluginLibrary* plugin = host.loadPlugin(testsupport::generatorPluginPath(), error);
    ASSERT_NE(plugin, nullptr) << error;
    ASSERT_NE(host.createMachine(*plugin, "Spoolex"), nullptr);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_TRUE(shownMessages().empty());
}

} // namespace
