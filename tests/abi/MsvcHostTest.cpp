// The generator DLL driven by host code compiled for the MSVC C++ ABI, as the
// real host calls it.
#include <gtest/gtest.h>

#include <string>

#include "platform/testing/ScriptedUi.h"
#include "tests/abi/MsvcHostRun.h"

namespace {

using platform::testing::ScriptedUi;

class MsvcHost : public ::testing::Test {
protected:
    void SetUp() override {
        // Relative, in the host's form: found from the current folder.
        ASSERT_EQ(msvcHostRun("Gear\\Generators\\Korvane Spoolex REVA 081029.x64.dll", &report), 0)
            << report.failure;
    }
    MsvcHostReport report{};
};

TEST_F(MsvcHost, ReadsTheDescriptionAndTheMembersAtTheirOffsets) {
    EXPECT_EQ(report.machineType, 1);
    EXPECT_STREQ(report.machineName, "Korvane Spoolex");
    EXPECT_EQ(report.numAttributes, 1);
    EXPECT_NE(std::string(report.commands).find("Change wave directory..."), std::string::npos)
        << report.commands;
    EXPECT_EQ(report.crossfadeDefault, 100);
}

TEST_F(MsvcHost, InitialisationRegistersTheExtensionAndSubscribesMemberHandlers) {
    EXPECT_GE(report.versionProbed, 2);
    EXPECT_EQ(report.extensionRegistered, 1);
    EXPECT_EQ(report.extensionSlotAgrees, 1);
    ASSERT_EQ(report.subscriptions, 2);
    EXPECT_EQ(report.eventCodes[0], 0);
    EXPECT_EQ(report.eventCodes[1], 3);
    // Called as member functions, the handlers answer and call the host back.
    EXPECT_EQ(report.handlerResults[0], 1);
    EXPECT_EQ(report.handlerResults[1], 1);
    EXPECT_EQ(report.ownMachineEventCalls, 1);
    EXPECT_EQ(report.hostMessages, 0);
}

TEST_F(MsvcHost, MenusAndCommandsGoThroughTheirSlots) {
    EXPECT_STREQ(report.recordSourceMenu, "*None|");
    EXPECT_STREQ(report.armMenuBefore, "Arm|");
    EXPECT_STREQ(report.armMenuArmed, "*Arm|");
    EXPECT_STREQ(report.armMenuAfterStop, "Arm|");
    EXPECT_EQ(report.renderedSound, 0); // a machine without patterns is silent
    EXPECT_EQ(report.copyEnabled, 1);
    EXPECT_EQ(report.pasteEnabled, 0);
    EXPECT_EQ(report.query48, 1);
    EXPECT_EQ(report.songModified, 1); // choosing a record source
    // The about box reached this program's scripted user.
    auto texts = ScriptedUi::instance().messageTexts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].rfind("Korvane Spoolex", 0), 0u) << texts[0];
}

TEST_F(MsvcHost, SongDataSurvivesASaveAndLoadAndMachinesAreDeletedThroughSlotZero) {
    EXPECT_EQ(report.reloadedSaveMatches, 1) << report.savedBytes << " bytes saved";
    EXPECT_EQ(report.machinesDeleted, 2);
}

} // namespace
