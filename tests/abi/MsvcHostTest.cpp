// The generator DLL driven by host code compiled for the MSVC C++ ABI, as the
// real host calls it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/testing/ScriptedUi.h"
#include "platform/win32/GdiPlusSession.h"
#include "tests/abi/MsvcHostRun.h"

namespace {

using platform::testing::ScriptedUi;

class MsvcHost : public ::testing::Test {
protected:
    void SetUp() override {
        // The host's own window for the editor, and a white bitmap for one
        // pattern box; the host starts GDI+ for the plug-ins.
        parent = CreateWindowExA(0, "STATIC", "pattern view", WS_OVERLAPPEDWINDOW, 0, 0, 600, 300,
                                 nullptr, nullptr, nullptr, nullptr);
        BITMAPINFO info{};
        info.bmiHeader = {sizeof info.bmiHeader, 100, -20, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        boxDc = CreateCompatibleDC(nullptr);
        bitmap = CreateDIBSection(boxDc, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits),
                                  nullptr, 0);
        old = SelectObject(boxDc, bitmap);
        std::fill(bits, bits + 100 * 20, 0xFFFFFFu);
        report.parentWindow = parent;
        report.deviceContext = boxDc;
        // Relative, in the host's form: found from the current folder.
        ASSERT_EQ(msvcHostRun("Gear\\Generators\\Korvane Spoolex REVA 081029.x64.dll", &report), 0)
            << report.failure;
    }
    void TearDown() override {
        SelectObject(boxDc, old);
        DeleteObject(bitmap);
        DeleteDC(boxDc);
        DestroyWindow(parent);
    }
    uint32_t boxPixel(int x, int y) const {
        GdiFlush();
        return bits[y * 100 + x] & 0xFFFFFF;
    }

    platform::win32::GdiPlusSession gdiPlus;
    HWND parent = nullptr;
    HDC boxDc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ old = nullptr;
    uint32_t* bits = nullptr;
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

TEST_F(MsvcHost, TheEditorWindowAndAPatternBoxComeThroughTheirSlots) {
    auto frame = static_cast<HWND>(report.editorWindow);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(report.patternBoxPainted, 1);
    // The machine's deletion took its editor's windows along.
    EXPECT_FALSE(IsWindow(frame));
    // An empty pattern's box: its one take-change line at row 0, one pixel
    // in from each side, in the host's "SE BG Dark" (0xDAD6C9 here).
    EXPECT_EQ(boxPixel(0, 0), 0xFFFFFFu);
    EXPECT_EQ(boxPixel(1, 0), 0xC9D6DAu);
    EXPECT_EQ(boxPixel(98, 0), 0xC9D6DAu);
    EXPECT_EQ(boxPixel(99, 0), 0xFFFFFFu);
    EXPECT_EQ(boxPixel(50, 1), 0xFFFFFFu);
}

} // namespace
