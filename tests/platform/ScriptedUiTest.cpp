#include <gtest/gtest.h>

#include "platform/Dialogs.h"
#include "platform/testing/ScriptedUi.h"

namespace {

using platform::testing::ScriptedUi;

TEST(ScriptedUi, RecordsEveryMessageAndAnswersFromTheScript) {
    ScriptedUi& ui = ScriptedUi::instance();
    ui.answerNextMessage(platform::MessageAnswer::No);
    EXPECT_EQ(platform::messageBox(nullptr, "Keep it?", "Q", platform::MessageIcon::Question,
                                   platform::MessageButtons::YesNo),
              platform::MessageAnswer::No);
    // Unscripted: the first answer.
    EXPECT_EQ(platform::messageBox(nullptr, "Again?", nullptr, platform::MessageIcon::Error,
                                   platform::MessageButtons::YesNo),
              platform::MessageAnswer::Yes);
    auto shown = ui.messages();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Keep it?");
    EXPECT_TRUE(shown[0].hasCaption);
    EXPECT_EQ(shown[0].caption, "Q");
    EXPECT_FALSE(shown[1].hasCaption);
    EXPECT_EQ(shown[1].icon, platform::MessageIcon::Error);
}

TEST(ScriptedUi, FolderPickerOutcomesArriveInOrder) {
    ScriptedUi& ui = ScriptedUi::instance();
    ui.chooseFolderWithoutPath();
    ui.chooseFolder("/music/takes");
    std::string path;
    EXPECT_EQ(platform::pickFolder(nullptr, "Where?", "/start", path),
              platform::FolderPick::NoFileSystemPath);
    EXPECT_EQ(platform::pickFolder(nullptr, "Where?", "", path), platform::FolderPick::Chosen);
    EXPECT_EQ(path, "/music/takes");
    EXPECT_EQ(platform::pickFolder(nullptr, "Where?", "", path), platform::FolderPick::Cancelled);
    ASSERT_EQ(ui.folderPickers().size(), 3u);
    EXPECT_EQ(ui.folderPickers()[0].initialSelection, "/start");
}

TEST(ScriptedUi, OpenFileDialogTakesTheScriptedFile) {
    ScriptedUi& ui = ScriptedUi::instance();
    ui.chooseFile("/tmp/a.wav");
    std::string path;
    EXPECT_TRUE(platform::openFileDialog(nullptr, "WAV|*.wav|", path));
    EXPECT_EQ(path, "/tmp/a.wav");
    EXPECT_FALSE(platform::openFileDialog(nullptr, "WAV|*.wav|", path));
}

} // namespace
