#include "generator/machine/WaveFolder.h"
#include "tests/core/GeneratorFixture.h"

namespace {

using platform::testing::ScriptedUi;
using WaveFolder = GeneratorTest;

const char* const pickerTitle = "Where should Spoolex save this song's wave data?";

TEST_F(WaveFolder, TheMenuCommandSetsTheProjectFolderForEveryMachine) {
    host::HostMachine* placed = placeGenerator();
    spoolex::projectFolder().clear();
    spoolex::defaultProjectFolder() = "/home/me/songs";
    ScriptedUi::instance().chooseFolder("/home/me/takes");
    host.runCommand(*placed, (0 << 8) | 2);
    EXPECT_EQ(spoolex::projectFolder(), "/home/me/takes");
    auto pickers = ScriptedUi::instance().folderPickers();
    ASSERT_EQ(pickers.size(), 1u);
    EXPECT_EQ(pickers[0].title, pickerTitle);
    // With no project folder yet, the settings' default is offered first.
    EXPECT_EQ(pickers[0].initialSelection, "/home/me/songs");

    ScriptedUi::instance().cancelNextFolder();
    host.runCommand(*placed, (0 << 8) | 2);
    EXPECT_EQ(spoolex::projectFolder(), "/home/me/takes");
    EXPECT_EQ(ScriptedUi::instance().folderPickers()[1].initialSelection, "/home/me/takes");
    spoolex::defaultProjectFolder().clear();
}

TEST_F(WaveFolder, AFolderWithoutAPathIsRefusedAndThePickerReopens) {
    spoolex::projectFolder().clear();
    ScriptedUi::instance().chooseFolderWithoutPath();
    ScriptedUi::instance().chooseFolder("/data");
    EXPECT_TRUE(spoolex::chooseWaveFolder(true));
    EXPECT_EQ(spoolex::projectFolder(), "/data");
    auto shown = shownMessages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "This folder cannot be used, please try selecting a different "
                             "folder.\nError: SHGetPathFromIDList returned FALSE.");
    EXPECT_TRUE(shown[0].hasCaption);
    EXPECT_EQ(shown[0].caption, "");
    EXPECT_EQ(shown[0].icon, platform::MessageIcon::Error);
}

TEST_F(WaveFolder, WithoutCancellingACancelIsRefused) {
    ScriptedUi::instance().cancelNextFolder();
    ScriptedUi::instance().chooseFolder("/x");
    EXPECT_TRUE(spoolex::chooseWaveFolder(false));
    ASSERT_EQ(shownMessages().size(), 1u);
    EXPECT_EQ(shownMessages()[0].text, "You must select a folder. Cancelling is not permitted.");
    spoolex::projectFolder().clear();
}

} // namespace
