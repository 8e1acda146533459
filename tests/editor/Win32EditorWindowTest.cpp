// The editor of a recorded song in the stand-in host's window under Wine,
// used with the system's own window messages: a click on a take row, a
// dragged selection, Set Active from the menu, bound keys and the bar's
// controls. After each step the editor's state is checked and the window
// is pictured; the pictures show what the step changed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "generator/editor/PatternEditorParent.h"
#include "generator/resources/resource.h"
#include "host/Commands.h"
#include "host/win32/HostWindow.h"
#include "platform/OverBlend.h"
#include "platform/win32/GdiPlusSession.h"
#include "platform/win32/PngFile.h"
#include "tests/core/GeneratorFixture.h"
#include "tests/support/GdiObjects.h"
#include "tests/support/GearPaths.h"

namespace {

constexpr uint32_t opaque(uint32_t bgr) {
    return RGB(bgr & 0xFF, bgr >> 8 & 0xFF, bgr >> 16 & 0xFF);
}

// A translucent fill over what was there, blended as the Linux picture
// blends it (held to Cairo by the platform tests).
COLORREF blend(COLORREF source, COLORREF below, int alpha) {
    auto argb = [](COLORREF c) {
        return static_cast<uint32_t>(GetRValue(c)) << 16 | GetGValue(c) << 8 | GetBValue(c);
    };
    const uint32_t blended =
        platform::OverBlend(static_cast<uint32_t>(alpha) << 24 | argb(source))(argb(below));
    return RGB(blended >> 16 & 0xFF, blended >> 8 & 0xFF, blended & 0xFF);
}

class EditorWindowTest : public GeneratorTest {
protected:
    static void SetUpTestSuite() {
        gdiPlus = new platform::win32::GdiPlusSession;
        // One folder per process: ctest runs this suite's tests side by
        // side, and each removes its folder when it ends.
        folder = std::filesystem::temp_directory_path() /
                 ("spoolex-editor-window-" + std::to_string(GetCurrentProcessId()));
        std::filesystem::create_directories(folder);
        // A recorded song: two passes over one pattern, the second punched
        // in over its second half.
        std::FILE* quiet = std::fopen("NUL", "w");
        ASSERT_EQ(host::demoCommand(folder.string(), SPOOLEX_GEAR_DIR, quiet), 0);
        std::fclose(quiet);
    }
    static void TearDownTestSuite() {
        delete gdiPlus;
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void SetUp() override {
        GeneratorTest::SetUp();
        // As the plug-in's CreateMachine: Shift and Ctrl from the system.
        installPlatformModifierKeys();
        platform::testing::ScriptedUi::instance().clear();
        // The song's generator, linked into this program, so that the test
        // sees its state; the host announces its patterns and sequence.
        host::SongDocument song;
        std::string error;
        ASSERT_TRUE(host::loadSongFile((folder / "demo.sxs").string(), song, error)) << error;
        host.setTiming(static_cast<int>(song.sampleRate), static_cast<int>(song.beatsPerMinute),
                       static_cast<int>(song.ticksPerBeat));
        const host::SongMachine& generator = song.machines.at(0);
        ASSERT_EQ(generator.kind, 1u);
        placed = host.createMachine(
            spoolex::machineDescription(),
            [] { return static_cast<CMachineInterface*>(new spoolex::mi); }, generator.name,
            &generator.songData);
        ASSERT_NE(placed, nullptr);
        std::vector<host::HostPattern*> patterns;
        for (const host::SongPattern& p : song.patterns)
            patterns.push_back(host.createPattern(*placed, p.name, p.length));
        for (const host::SongSequence& s : song.sequences) {
            if (s.machine != 0)
                continue;
            host::HostSequence* sequence = host.addSequence(*placed);
            for (const host::SongEvent& e : s.events)
                sequence->place(static_cast<int>(e.tick),
                                e.pattern < 0 ? nullptr : patterns.at(e.pattern));
        }
        ASSERT_TRUE(window.open(host, *placed, patterns.at(0), 800, 420, error)) << error;
        view = FindWindowExA(window.editor(), nullptr, nullptr, "pated");
        bar = FindWindowExA(window.editor(), nullptr, "#32770", nullptr);
        ASSERT_NE(view, nullptr);
        ASSERT_NE(bar, nullptr);
        window.settle();
    }

    spoolex::mi& machine() { return generatorOf(placed); }
    PatternEditor& editor() { return *editorViewOf(machine()); }
    spoolex::Pattern& pattern() { return *editor().shownPattern(); }

    void mouse(UINT message, WPARAM keys, int x, int y) {
        SendMessageW(view, message, keys, MAKELPARAM(x, y));
    }
    // Paints what is due and looks at one pixel of the view.
    COLORREF at(int x, int y) {
        window.settle();
        HDC dc = GetDC(view);
        COLORREF colour = GetPixel(dc, x, y);
        ReleaseDC(view, dc);
        return colour;
    }
    void picture(const char* step) {
        window.settle();
        EXPECT_TRUE(platform::win32::saveWindowPng(
            window.window(), (folder / (std::string(step) + ".png")).string()));
    }
    std::string barText(int id) {
        char text[64] = {};
        GetDlgItemTextA(bar, id, text, sizeof text);
        return text;
    }
    uint32_t theme(const char* name) {
        return opaque(static_cast<uint32_t>(host.themeColours[name]));
    }

    static inline platform::win32::GdiPlusSession* gdiPlus = nullptr;
    static inline std::filesystem::path folder;
    host::HostMachine* placed = nullptr;
    host::HostWindow window;
    HWND view = nullptr;
    HWND bar = nullptr;
};

TEST_F(EditorWindowTest, AUserEditsARecordedTakeWithTheSystemsOwnMessages) {
    ASSERT_EQ(pattern().takes.size(), 2u);
    EXPECT_EQ(barText(ID_OPEN_MENU), "Menu");
    EXPECT_EQ(barText(IDC_FINE_EDIT), "4");
    EXPECT_EQ(barText(IDC_COARSE_EDIT), "4");
    EXPECT_EQ(barText(IDC_ZOOM_LABEL), "100.000%");
    EXPECT_EQ(barText(IDC_HEIGHT_LABEL), "200.0px");

    // The take rows show their waveforms in the text colour: the first
    // row's left lane crosses its centre line.
    RECT client;
    GetClientRect(view, &client);
    const int lane = 200 / 4;
    const int middleX = client.right / 4;
    EXPECT_EQ(at(middleX, lane), theme("PE Text"));
    picture("1-opened");

    // A click with Shift on the second row makes its take current.
    const int rowTop = 200;
    mouse(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, middleX, rowTop + 10);
    mouse(WM_LBUTTONUP, MK_SHIFT, middleX, rowTop + 10);
    EXPECT_EQ(editor().currentTake, pattern().takes[1].get());
    picture("2-take-clicked");

    // A drag across the row selects; the span shows "PE Sel BG" over what
    // was there.
    const int from = client.right / 8, to = client.right * 3 / 8, probeY = rowTop + 10;
    const COLORREF before = at((from + to) / 2, probeY);
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, from, probeY);
    mouse(WM_MOUSEMOVE, MK_LBUTTON, to, probeY);
    mouse(WM_LBUTTONUP, 0, to, probeY);
    EXPECT_LT(editor().selStart, editor().selEnd);
    EXPECT_NEAR(editor().selStart, editor().tickAtX(from), 1.0);
    EXPECT_EQ(at((from + to) / 2, probeY), blend(theme("PE Sel BG"), before, 200));
    picture("3-selected");

    // "Menu" in the bar, then Take > Set Active: the selected stretch plays
    // the second take and has its red outline on that take's row.
    const double start = editor().selStart;
    platform::testing::ScriptedUi::instance().chooseMenuItem(ID_TAKE_SET_ACTIVE);
    HWND menuLabel = GetDlgItem(bar, ID_OPEN_MENU);
    SendMessageW(menuLabel, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    SendMessageW(menuLabel, WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    bool found = false;
    for (const spoolex::ActiveTakeEntry& entry : pattern().activeTakes)
        found |= entry.startTick == start && entry.take == pattern().takes[1].get();
    EXPECT_TRUE(found);
    const int outlineX = static_cast<int>(editor().pxPerTick() * start) + 1;
    const COLORREF outline = at(outlineX, rowTop + 20);
    EXPECT_GT(GetRValue(outline), GetGValue(outline) + 40);
    picture("4-set-active");

    // Bound keys: Ctrl+A (read from the keyboard state) selects all, "+"
    // zooms in, and the bar's label follows.
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(view, WM_KEYDOWN, 'A', 0);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(editor().selStart, 0.0);
    EXPECT_EQ(editor().selEnd, static_cast<double>(pattern().length));
    SendMessageW(view, WM_CHAR, '+', 0);
    EXPECT_GT(editor().zoom, 1.0);
    EXPECT_NE(barText(IDC_ZOOM_LABEL), "100.000%");
    picture("5-keys");

    // The bar: Snap from its list, the grid by the spin button's arrow key
    // and by typing.
    HWND snap = GetDlgItem(bar, IDC_SNAP);
    SendMessageW(snap, CB_SETCURSEL, 3, 0);
    SendMessageW(bar, WM_COMMAND, MAKEWPARAM(IDC_SNAP, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(snap));
    EXPECT_EQ(machine().grid.snapMode, 3u);
    EXPECT_EQ(barText(IDC_SNAP), "Coarse");
    HWND fine = GetDlgItem(bar, IDC_FINE_EDIT);
    SendMessageW(fine, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(machine().grid.fineTicks, 5);
    SetWindowTextA(GetDlgItem(bar, IDC_COARSE_EDIT), "8");
    EXPECT_EQ(machine().grid.coarseFactor, 8);
    // An emptied edit leaves the value in force.
    SetWindowTextA(fine, "");
    EXPECT_EQ(machine().grid.fineTicks, 5);
    picture("6-bar");
}

TEST_F(EditorWindowTest, AShiftDragEndsWhenAnotherWindowTakesTheMouse) {
    ASSERT_EQ(pattern().takes.size(), 2u);
    spoolex::Take* first = pattern().takes[0].get();
    mouse(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, 100, 10);
    EXPECT_EQ(GetCapture(), view);
    // The host's window takes the capture (a box, Alt+Tab): the view hears
    // it, and hovering over the next row afterwards moves nothing.
    SetCapture(window.window());
    EXPECT_EQ(editor().dragMode(), DragNone);
    ReleaseCapture();
    host.songModified = false;
    mouse(WM_MOUSEMOVE, 0, 100, 210);
    EXPECT_EQ(pattern().takes[0].get(), first);
    EXPECT_FALSE(host.songModified);
}

TEST_F(EditorWindowTest, ThousandsOfPaintsAndFrameTicksLeaveTheGdiObjectsAsTheyWere) {
    mouse(WM_LBUTTONDOWN, MK_LBUTTON, 100, 10); // a current take: the frame is drawn
    mouse(WM_LBUTTONUP, 0, 100, 10);
    window.settle();
    RECT client;
    GetClientRect(view, &client);
    // One of each first: whatever is made once is made now.
    RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    SendMessageW(view, WM_TIMER, 2, 0);
    const long before = testsupport::gdiObjectCount();
    ASSERT_GT(before, 0);
    // Any object kept per paint or tick would show as thousands more.
    for (int i = 0; i < 10000; ++i) {
        // A narrow strip at a time, the whole view now and then: every
        // paint goes through the back buffer all the same.
        const int left = (i * 37) % std::max<int>(client.right - 4, 1);
        RECT strip{left, 0, left + 4, client.bottom};
        RedrawWindow(view, i % 200 == 0 ? nullptr : &strip, nullptr,
                     RDW_INVALIDATE | RDW_UPDATENOW);
        if (i % 10 == 0)
            SendMessageW(view, WM_TIMER, 2, 0);
    }
    EXPECT_EQ(testsupport::gdiObjectCount(), before);
}

TEST_F(EditorWindowTest, ClosingTheHostWindowTakesTheEditorWithIt) {
    EXPECT_NE(machine().editor(), nullptr);
    DestroyWindow(window.window());
    // The frame's final message: the machine forgets its editor.
    EXPECT_EQ(machine().editor(), nullptr);
}

} // namespace
