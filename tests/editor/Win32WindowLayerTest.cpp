// The window layer on real windows under Wine: what the editor's frame, view
// and dialog bar rely on, checked through the system's own view of them.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <new>
#include <vector>

#include "generator/resources/resource.h"
#include "platform/Window.h"
#include "platform/testing/ScriptedUi.h"
#include "platform/win32/ExportWavetableDialog.h"
#include "platform/win32/GdiPlusSession.h"

namespace {

struct Seen {
    unsigned message;
    uintptr_t wParam;
};

// Records every message; paints green, or through `painter` when set.
struct Recorder {
    std::vector<Seen> seen;
    std::vector<platform::PixelRect> paintRects;
    std::function<void(platform::Surface&)> painter;
    platform::WindowHandle window = nullptr;

    bool saw(unsigned message, uintptr_t wParam) const {
        for (const Seen& s : seen)
            if (s.message == message && s.wParam == wParam)
                return true;
        return false;
    }
};

intptr_t record(void* context, platform::WindowHandle window, unsigned message, uintptr_t wParam,
                intptr_t lParam) {
    auto* recorder = static_cast<Recorder*>(context);
    recorder->seen.push_back({message, wParam});
    if (message == platform::messagePaint) {
        platform::paint(window, [&](platform::Surface& surface) {
            recorder->paintRects.push_back(surface.paintRect());
            if (recorder->painter)
                recorder->painter(surface);
        });
        return 0;
    }
    if (message == platform::messageCommand)
        return 7;
    if (message == platform::messageNcDestroy)
        return 0;
    return platform::defaultHandling(window, message, wParam, lParam);
}

void pump() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

COLORREF pixel(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

class WindowLayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gdiPlus = new platform::win32::GdiPlusSession; }
    static void TearDownTestSuite() { delete gdiPlus; }
    static inline platform::win32::GdiPlusSession* gdiPlus = nullptr;

    void SetUp() override {
        host = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800,
                               400, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(host, nullptr);
    }
    void TearDown() override {
        DestroyWindow(host);
        pump();
    }

    platform::WindowHandle child(Recorder& recorder, const platform::WindowOptions& options) {
        recorder.window = platform::createWindow(host, options, record, &recorder);
        return recorder.window;
    }

    HWND host = nullptr;
};

TEST_F(WindowLayerTest, WindowsCarryTheirOptionsAndHandTheirMessagesOverAfterCreation) {
    Recorder recorder;
    platform::WindowOptions options;
    options.name = "pated";
    options.horizontalScrollBar = true;
    options.verticalScrollBar = true;
    options.tabStop = true;
    options.controlId = 5;
    options.rect = {10, 20, 110, 120};
    auto window = static_cast<HWND>(child(recorder, options));
    ASSERT_NE(window, nullptr);
    // Nothing reaches the owner before it knows its window.
    EXPECT_TRUE(recorder.seen.empty());

    char name[32] = {};
    GetWindowTextA(window, name, sizeof name);
    EXPECT_STREQ(name, "pated");
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    for (LONG bit : {WS_CHILD, WS_VISIBLE, WS_HSCROLL, WS_VSCROLL, WS_TABSTOP})
        EXPECT_TRUE(style & bit) << std::hex << bit;
    EXPECT_EQ(GetDlgCtrlID(window), 5);
    EXPECT_EQ(platform::parentOf(window), host);
    EXPECT_EQ(platform::topLevelOf(window), host);
    EXPECT_EQ(platform::sendMessage(window, platform::messageCommand, 32834, 0), 7);

    platform::destroyWindow(window);
    ASSERT_GE(recorder.seen.size(), 2u);
    EXPECT_TRUE(recorder.saw(platform::messageDestroy, 0));
    EXPECT_EQ(recorder.seen.back().message, platform::messageNcDestroy);
}

TEST_F(WindowLayerTest, APaintDrawsOffScreenOverTheInvalidPartInClientCoordinates) {
    Recorder recorder;
    platform::WindowOptions options;
    options.rect = {0, 0, 200, 100};
    auto window = static_cast<HWND>(child(recorder, options));
    recorder.painter = [](platform::Surface& surface) {
        surface.fillRect(0, 0, 200, 100, 0xFF00FF00);
    };
    UpdateWindow(window);
    ASSERT_EQ(recorder.paintRects.size(), 1u);
    EXPECT_EQ(recorder.paintRects[0].right, 200);

    recorder.painter = [](platform::Surface& surface) {
        surface.fillRect(0, 0, 200, 100, 0xFF0000FF);
        surface.fillRect(30.5f, 10.0f, 10.0f, 5.0f, 0xFFFF0000);
    };
    RECT part{20, 5, 60, 30};
    InvalidateRect(window, &part, FALSE);
    UpdateWindow(window);
    ASSERT_EQ(recorder.paintRects.size(), 2u);
    const platform::PixelRect r = recorder.paintRects[1];
    EXPECT_EQ(r.left, 20);
    EXPECT_EQ(r.top, 5);
    EXPECT_EQ(r.right, 60);
    EXPECT_EQ(r.bottom, 30);
    EXPECT_EQ(pixel(window, 10, 10), RGB(0, 255, 0)); // outside: kept
    EXPECT_EQ(pixel(window, 25, 10), RGB(0, 0, 255));
    EXPECT_EQ(pixel(window, 30, 10), RGB(0, 0, 255));
    EXPECT_EQ(pixel(window, 31, 10), RGB(255, 0, 0));
    EXPECT_EQ(pixel(window, 40, 14), RGB(255, 0, 0));
    EXPECT_EQ(pixel(window, 41, 10), RGB(0, 0, 255));

    // A paint that grows its window while drawing gets a paint inside it;
    // the outer one goes on drawing into a bitmap that is still there.
    bool grown = false;
    recorder.painter = [&](platform::Surface& surface) {
        surface.fillRect(0, 0, 300, 100, 0xFF00FFFF);
        if (!grown) {
            grown = true;
            MoveWindow(window, 0, 0, 300, 100, FALSE);
            InvalidateRect(window, nullptr, FALSE);
            UpdateWindow(window);
            surface.fillRect(10, 10, 10, 10, 0xFF0000FF);
        }
    };
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(recorder.paintRects.size(), 4u);
    EXPECT_EQ(pixel(window, 15, 15), RGB(0, 0, 255));
    EXPECT_EQ(pixel(window, 25, 15), RGB(0, 255, 255));
    EXPECT_EQ(pixel(window, 250, 90), RGB(0, 255, 255));
    MoveWindow(window, 0, 0, 200, 100, FALSE);

    // Outside a paint, straight onto the window: the marching frame's way.
    const uint8_t rows[8] = {0x0F, 0x1E, 0x3C, 0x78, 0xF0, 0xE1, 0xC3, 0x87};
    const platform::PatternBrush brush(rows);
    const platform::PixelRect edge{100, 50, 116, 51};
    platform::fillPatternOnWindow(window, brush, &edge, 1, 3, 0, 0xFFFFFFFF, 0xFF000000);
    for (int x = 100; x < 116; ++x) // row 50 is pattern row 2: 0x3C
        EXPECT_EQ(pixel(window, x, 50),
                  (0x3C >> (7 - (x - 3) % 8) & 1) ? RGB(255, 255, 255) : RGB(0, 0, 0))
            << x;
}

TEST_F(WindowLayerTest, AnExceptionStopsAtTheSystemsCallAndThePaintStillEnds) {
    static unsigned failedMessage = 0;
    platform::setProcedureFailureHandler(
        [](platform::WindowHandle, unsigned message) { failedMessage = message; });
    Recorder recorder;
    platform::WindowOptions options;
    options.rect = {0, 0, 200, 100};
    auto window = static_cast<HWND>(child(recorder, options));
    recorder.painter = [](platform::Surface& surface) {
        surface.fillRect(0, 0, 10, 10, 0xFF00FF00);
        throw std::bad_alloc();
    };
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
    EXPECT_EQ(failedMessage, platform::messagePaint);
    // Painting ended: nothing is left to paint, so no paint follows paint.
    EXPECT_FALSE(GetUpdateRect(window, nullptr, FALSE));
    platform::setProcedureFailureHandler(nullptr);
}

TEST_F(WindowLayerTest, ScrollBarsKeepThePositionInsideTheRangeLessThePage) {
    Recorder recorder;
    platform::WindowOptions options;
    options.horizontalScrollBar = true;
    options.verticalScrollBar = true;
    options.rect = {0, 0, 300, 200};
    auto window = child(recorder, options);
    using platform::ScrollBar;
    platform::setScrollRange(window, ScrollBar::Horizontal, 0, 999, 100);
    EXPECT_EQ(platform::setScrollPosition(window, ScrollBar::Horizontal, 2000), 900);
    EXPECT_EQ(platform::setScrollPosition(window, ScrollBar::Horizontal, -5), 0);
    platform::setScrollPosition(window, ScrollBar::Horizontal, 450);
    platform::ScrollState state = platform::scrollState(window, ScrollBar::Horizontal);
    EXPECT_EQ(state.minimum, 0);
    EXPECT_EQ(state.maximum, 999);
    EXPECT_EQ(state.page, 100u);
    EXPECT_EQ(state.position, 450);
    // The vertical bar's range has no "- 1": 400 pixels of rows, page 200.
    platform::setScrollRange(window, ScrollBar::Vertical, 0, 400, 200);
    EXPECT_EQ(platform::setScrollPosition(window, ScrollBar::Vertical, 400), 201);
}

TEST_F(WindowLayerTest, TimersCaptureCursorAndModifiersAreTheSystems) {
    Recorder recorder;
    auto window = static_cast<HWND>(child(recorder, {}));
    platform::startTimer(window, 2, 10);
    for (int i = 0; i < 100 && !recorder.saw(platform::messageTimer, 2); ++i) {
        Sleep(5);
        pump();
    }
    EXPECT_TRUE(recorder.saw(platform::messageTimer, 2));
    platform::stopTimer(window, 2);

    platform::captureMouse(window);
    EXPECT_EQ(GetCapture(), window);
    platform::releaseMouse();
    EXPECT_EQ(GetCapture(), nullptr);

    platform::setCursor(platform::CursorShape::SizeWestEast);
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_SIZEWE));
    EXPECT_EQ(platform::testing::ScriptedUi::instance().cursorShape(),
              static_cast<int>(platform::CursorShape::SizeWestEast));

    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = 0x80;
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(platform::heldModifiers(), platform::modifierCtrl);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
    platform::testing::ScriptedUi::instance().holdModifiers(platform::modifierShift);
    EXPECT_EQ(platform::heldModifiers(), platform::modifierShift);
}

TEST_F(WindowLayerTest, TheDialogBarTemplateGivesWorkingControls) {
    Recorder recorder;
    auto bar = platform::createDialog(host, IDD_DIALOG_BAR, {}, record, &recorder);
    ASSERT_NE(bar, nullptr);
    recorder.window = bar;
    EXPECT_TRUE(IsWindowVisible(static_cast<HWND>(bar)));
    EXPECT_NE(platform::dialogItem(bar, IDC_FINE_EDIT), nullptr);

    // The spin button writes its buddy's text, which tells the bar.
    platform::spinSetRange(bar, IDC_FINE_SPIN, 1, 16384);
    recorder.seen.clear();
    platform::spinSetPosition(bar, IDC_FINE_SPIN, 16384);
    EXPECT_EQ(platform::itemText(bar, IDC_FINE_EDIT), "16384");
    EXPECT_TRUE(
        recorder.saw(platform::messageCommand,
                     platform::commandParameter(IDC_FINE_EDIT, platform::notifyEditChanged)));
    int32_t position = 0;
    platform::setItemText(bar, IDC_FINE_EDIT, "");
    EXPECT_FALSE(platform::spinPosition(bar, IDC_FINE_SPIN, position));
    platform::setItemText(bar, IDC_FINE_EDIT, "12");
    ASSERT_TRUE(platform::spinPosition(bar, IDC_FINE_SPIN, position));
    EXPECT_EQ(position, 12);
    // The arrow keys step the value.
    HWND edit = static_cast<HWND>(platform::dialogItem(bar, IDC_FINE_EDIT));
    SendMessageW(edit, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(platform::itemText(bar, IDC_FINE_EDIT), "13");

    EXPECT_EQ(platform::listAdd(bar, IDC_RECORD_SOURCE, "None", 0), 0);
    EXPECT_EQ(platform::listAdd(bar, IDC_RECORD_SOURCE, "Input 1", 1234), 1);
    platform::listSelect(bar, IDC_RECORD_SOURCE, 1);
    EXPECT_EQ(platform::listSelection(bar, IDC_RECORD_SOURCE), 1);
    EXPECT_EQ(platform::listItemData(bar, IDC_RECORD_SOURCE, 1), 1234);
    EXPECT_EQ(platform::listCount(bar, IDC_RECORD_SOURCE), 2);
    platform::listClear(bar, IDC_RECORD_SOURCE);
    EXPECT_EQ(platform::listSelection(bar, IDC_RECORD_SOURCE), -1);

    // A click on Arm toggles it and tells the bar; a click on the "Menu"
    // label reports itself as a command.
    recorder.seen.clear();
    SendMessageW(static_cast<HWND>(platform::dialogItem(bar, IDC_ARM)), BM_CLICK, 0, 0);
    EXPECT_TRUE(platform::isChecked(bar, IDC_ARM));
    EXPECT_TRUE(recorder.saw(platform::messageCommand, IDC_ARM));
    HWND label = static_cast<HWND>(platform::dialogItem(bar, ID_OPEN_MENU));
    SendMessageW(label, WM_LBUTTONDOWN, MK_LBUTTON, platform::mousePosition(3, 3));
    SendMessageW(label, WM_LBUTTONUP, 0, platform::mousePosition(3, 3));
    EXPECT_TRUE(recorder.saw(platform::messageCommand, ID_OPEN_MENU));

    platform::destroyWindow(bar);
    EXPECT_EQ(recorder.seen.back().message, platform::messageNcDestroy);
}

// The editor menu's shape as the editor describes it: Take > Set Active, and
// Edit > Paste greyed.
std::vector<platform::MenuItem> editorMenu() {
    platform::MenuItem take{0, "&Take", true, {{ID_TAKE_SET_ACTIVE, "Set &Active", true, {}}}};
    platform::MenuItem edit{0, "&Edit", true, {{ID_EDIT_PASTE, "&Paste\tCtrl+V", false, {}}}};
    return {{0, "Main menu", true, {edit, take}}};
}

TEST_F(WindowLayerTest, MenusAnsweredByTheScriptSendOnlyEnabledChoices) {
    Recorder recorder;
    auto owner = child(recorder, {});
    auto& user = platform::testing::ScriptedUi::instance();
    user.chooseMenuItem(ID_EDIT_PASTE);
    platform::openPopupMenu(owner, IDR_EDITOR_MENU, 0, editorMenu(), 10, 10);
    EXPECT_FALSE(recorder.saw(platform::messageCommand, ID_EDIT_PASTE));
    user.chooseMenuItem(ID_TAKE_SET_ACTIVE);
    platform::openPopupMenu(owner, IDR_EDITOR_MENU, 0, editorMenu(), 10, 10);
    EXPECT_TRUE(recorder.saw(platform::messageCommand, ID_TAKE_SET_ACTIVE));
}

// Keys typed into the open menu from inside its own message loop.
std::vector<std::pair<UINT, WPARAM>> menuKeys;
void CALLBACK typeIntoMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    for (auto [message, key] : menuKeys)
        PostMessageW(GetFocus() ? GetFocus() : GetActiveWindow(), message, key, 0);
    // Whatever happens, the menu closes.
    SetTimer(nullptr, 0, 1000, [](HWND, UINT, UINT_PTR later, DWORD) {
        KillTimer(nullptr, later);
        EndMenu();
    });
}

TEST_F(WindowLayerTest, RealMenusGreyWhatTheEditorDisablesAndReturnOrSendTheChoice) {
    auto& user = platform::testing::ScriptedUi::instance();
    user.setLive(true);
    Recorder recorder;
    auto owner = child(recorder, {});
    SetForegroundWindow(host);
    SetFocus(static_cast<HWND>(owner));

    menuKeys = {{WM_CHAR, 't'}, {WM_CHAR, 'a'}};
    SetTimer(nullptr, 0, 100, typeIntoMenu);
    platform::openPopupMenu(owner, IDR_EDITOR_MENU, 0, editorMenu(), 10, 10);
    pump();
    EXPECT_TRUE(recorder.saw(platform::messageCommand, ID_TAKE_SET_ACTIVE));

    recorder.seen.clear();
    menuKeys = {{WM_CHAR, 'e'}, {WM_CHAR, 'p'}};
    SetTimer(nullptr, 0, 100, typeIntoMenu);
    platform::openPopupMenu(owner, IDR_EDITOR_MENU, 0, editorMenu(), 10, 10);
    pump();
    EXPECT_FALSE(recorder.saw(platform::messageCommand, ID_EDIT_PASTE));

    // The chooser returns its choice and sends nothing.
    recorder.seen.clear();
    menuKeys = {{WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_DOWN}, {WM_KEYDOWN, VK_RETURN}};
    SetTimer(nullptr, 0, 100, typeIntoMenu);
    unsigned chosen = platform::choosePopupItem(
        owner, {{100, "Editor A", true, {}}, {101, "Editor B", true, {}}});
    pump();
    EXPECT_EQ(chosen, 101u);
    EXPECT_FALSE(recorder.saw(platform::messageCommand, 101));
    user.setLive(false);
}

// What the export dialog showed, seen from inside its modal loop.
struct ExportDialogSeen {
    HWND dialog = nullptr;
    int waves = 0;
    int preselected = -1;
    std::string firstFormat;
    int formats = 0;
} exportSeen;

void CALLBACK actInExportDialog(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    HWND dialog = FindWindowA("#32770", "Export to wavetable");
    exportSeen.dialog = dialog;
    if (!dialog)
        return;
    exportSeen.waves = static_cast<int>(SendDlgItemMessageA(dialog, 1010, CB_GETCOUNT, 0, 0));
    exportSeen.preselected =
        static_cast<int>(SendDlgItemMessageA(dialog, 1010, CB_GETCURSEL, 0, 0));
    exportSeen.formats = static_cast<int>(SendDlgItemMessageA(dialog, 1011, CB_GETCOUNT, 0, 0));
    char text[32] = {};
    GetDlgItemTextA(dialog, 1011, text, sizeof text);
    exportSeen.firstFormat = text;
    // The user picks the third wave and 16-bit, reads the help, and says OK.
    SendDlgItemMessageA(dialog, 1010, CB_SETCURSEL, 2, 0);
    SendDlgItemMessageA(dialog, 1011, CB_SETCURSEL, 1, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1012, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, 1012)));
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

TEST_F(WindowLayerTest, TheExportDialogShowsTheWavesAndFormatsAndAnswersWithTheChoice) {
    SetTimer(nullptr, 0, 100, actInExportDialog);
    int wave = -1, format = -1;
    const bool ok = platform::win32::runExportWavetableDialog(
        host, {"01: Kick", "02: Snare", "03"}, 2 - 1, "Formats explained", wave, format);
    ASSERT_NE(exportSeen.dialog, nullptr);
    EXPECT_EQ(exportSeen.waves, 3);
    EXPECT_EQ(exportSeen.preselected, 1);
    EXPECT_EQ(exportSeen.formats, 2);
    EXPECT_EQ(exportSeen.firstFormat, "32-bit float");
    EXPECT_TRUE(ok);
    EXPECT_EQ(wave, 2);
    EXPECT_EQ(format, 1);
    // The help box is the dialog's own, with OK only and no icon.
    auto shown = platform::testing::ScriptedUi::instance().messages();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Formats explained");
    EXPECT_EQ(shown[0].owner, exportSeen.dialog);
    EXPECT_FALSE(shown[0].hasCaption);
    EXPECT_EQ(shown[0].icon, platform::MessageIcon::None);
    EXPECT_EQ(shown[0].buttons, platform::MessageButtons::Ok);
}

} // namespace
