// The real Windows implementations behind the platform layer, run under Wine.
// Every system box shown here is answered by a watcher thread within seconds,
// so no test ever waits for a user.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "platform/Library.h"
#include "platform/ModulePath.h"
#include "platform/NativeDialogs.h"
#include "tests/support/GearPaths.h"

namespace {

struct SeenBox {
    std::string caption;
    std::string text;
    bool hasYes = false, hasNo = false, hasOk = false, hasCancel = false, hasIcon = false;
    HWND owner = nullptr;
    bool found = false;
};

std::string windowText(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The first dialog window of thread, waiting up to five seconds.
HWND waitForDialog(DWORD thread) {
    for (int attempt = 0; attempt < 500; ++attempt) {
        HWND found = nullptr;
        EnumThreadWindows(
            thread,
            [](HWND window, LPARAM result) -> BOOL {
                char name[32] = {};
                GetClassNameA(window, name, sizeof name);
                if (std::string(name) == "#32770" && IsWindowVisible(window)) {
                    *reinterpret_cast<HWND*>(result) = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&found));
        if (found)
            return found;
        Sleep(10);
    }
    return nullptr;
}

void press(HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
}

// Presses button on the next dialog this thread shows, after settle
// milliseconds; before pressing, prepare may look at the dialog or fill it in.
class DialogPresser {
public:
    explicit DialogPresser(int button, DWORD settle = 0,
                           std::function<void(HWND)> prepare = nullptr)
        : thread(GetCurrentThreadId()),
          watcher([this, button, settle, prepare = std::move(prepare)] {
              HWND dialog = waitForDialog(thread);
              if (!dialog)
                  return;
              found = true;
              Sleep(settle);
              if (prepare)
                  prepare(dialog);
              press(dialog, button);
          }) {}
    // True when a dialog came and was pressed.
    bool join() {
        watcher.join();
        return found;
    }

private:
    DWORD thread;
    std::atomic<bool> found{false};
    std::thread watcher;
};

// Shows a box through the platform layer on this thread while another thread
// looks at it and presses button.
platform::MessageAnswer showAndPress(platform::WindowHandle owner, const char* caption,
                                     platform::MessageIcon icon, platform::MessageButtons buttons,
                                     int button, SeenBox& seen) {
    DialogPresser presser(button, 0, [&seen](HWND box) {
        seen.caption = windowText(box);
        seen.owner = GetWindow(box, GW_OWNER);
        // The text is the static control with text, the icon one with an icon.
        EnumChildWindows(
            box,
            [](HWND child, LPARAM data) -> BOOL {
                auto& seen = *reinterpret_cast<SeenBox*>(data);
                char name[32] = {};
                GetClassNameA(child, name, sizeof name);
                if (std::string(name) != "Static")
                    return TRUE;
                std::string text = windowText(child);
                if (!text.empty())
                    seen.text = text;
                if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
                    IsWindowVisible(child) && SendMessageA(child, STM_GETICON, 0, 0))
                    seen.hasIcon = true;
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&seen));
        seen.hasYes = GetDlgItem(box, IDYES) != nullptr;
        seen.hasNo = GetDlgItem(box, IDNO) != nullptr;
        seen.hasOk = GetDlgItem(box, IDOK) != nullptr;
        seen.hasCancel = GetDlgItem(box, IDCANCEL) != nullptr;
    });
    platform::MessageAnswer answer =
        platform::native::messageBox(owner, "Keep the take?", caption, icon, buttons);
    seen.found = presser.join();
    return answer;
}

TEST(Win32MessageBox, ShowsCaptionTextAndButtonsAndReturnsThePressedOne) {
    SeenBox seen;
    EXPECT_EQ(showAndPress(nullptr, "Spoolex", platform::MessageIcon::Question,
                           platform::MessageButtons::YesNo, IDNO, seen),
              platform::MessageAnswer::No);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "Spoolex");
    EXPECT_EQ(seen.text, "Keep the take?");
    EXPECT_TRUE(seen.hasYes);
    EXPECT_TRUE(seen.hasNo);
    EXPECT_FALSE(seen.hasOk);
    EXPECT_TRUE(seen.hasIcon);
}

TEST(Win32MessageBox, WithoutIconShowsNone) {
    SeenBox seen;
    EXPECT_EQ(showAndPress(nullptr, "Spoolex", platform::MessageIcon::None,
                           platform::MessageButtons::Ok, IDOK, seen),
              platform::MessageAnswer::Ok);
    ASSERT_TRUE(seen.found);
    EXPECT_FALSE(seen.hasIcon);
}

TEST(Win32MessageBox, WithoutCaptionTheSystemSaysErrorAndOkCancelAnswers) {
    SeenBox seen;
    EXPECT_EQ(showAndPress(nullptr, nullptr, platform::MessageIcon::Error,
                           platform::MessageButtons::OkCancel, IDCANCEL, seen),
              platform::MessageAnswer::Cancel);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.caption, "Error");
    EXPECT_TRUE(seen.hasOk);
    EXPECT_TRUE(seen.hasCancel);

    SeenBox again;
    EXPECT_EQ(showAndPress(nullptr, nullptr, platform::MessageIcon::Information,
                           platform::MessageButtons::Ok, IDOK, again),
              platform::MessageAnswer::Ok);
}

TEST(Win32MessageBox, BelongsToItsOwner) {
    HWND owner = CreateWindowA("STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(owner, nullptr) << "no window could be created";
    SeenBox seen;
    showAndPress(owner, "Spoolex", platform::MessageIcon::Warning, platform::MessageButtons::Ok,
                 IDOK, seen);
    EXPECT_TRUE(seen.found);
    EXPECT_EQ(seen.owner, owner);
    DestroyWindow(owner);
}

TEST(Win32FolderPicker, PreselectsTheInitialFolderAndReturnsItsPath) {
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 0u);
    // Accepting at once takes whatever the initialisation callback selected.
    DialogPresser presser(IDOK, 200);
    std::string chosen;
    platform::FolderPick pick =
        platform::native::pickFolder(nullptr, "Where should the takes go?", windows, chosen);
    ASSERT_TRUE(presser.join());
    EXPECT_EQ(pick, platform::FolderPick::Chosen);
    EXPECT_EQ(lstrcmpiA(chosen.c_str(), windows), 0) << chosen << " instead of " << windows;
}

TEST(Win32FolderPicker, CancellingChoosesNothing) {
    DialogPresser presser(IDCANCEL);
    std::string chosen = "unchanged";
    EXPECT_EQ(platform::native::pickFolder(nullptr, "Where?", "", chosen),
              platform::FolderPick::Cancelled);
    EXPECT_TRUE(presser.join());
    EXPECT_EQ(chosen, "unchanged");
}

std::string programPath() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// The dialog may change the current folder, as the system does by default;
// later tests rely on the build folder.
class Win32OpenFile : public ::testing::Test {
protected:
    void SetUp() override { GetCurrentDirectoryA(MAX_PATH, folder); }
    void TearDown() override { SetCurrentDirectoryA(folder); }
    char folder[MAX_PATH] = {};
};

TEST_F(Win32OpenFile, ReturnsTheChosenFile) {
    DialogPresser presser(IDOK, 100, [](HWND dialog) {
        // The file name box: a combo box in the new-style dialog, an edit
        // box in the old one.
        std::string file = programPath();
        for (int id : {0x47c, 0x480})
            SetDlgItemTextA(dialog, id, file.c_str());
    });
    std::string chosen;
    EXPECT_TRUE(platform::native::openFileDialog(nullptr, "Programs|*.exe|All files|*.*|", chosen));
    EXPECT_TRUE(presser.join());
    EXPECT_EQ(lstrcmpiA(chosen.c_str(), programPath().c_str()), 0) << chosen;
}

TEST_F(Win32OpenFile, CancellingChoosesNothing) {
    DialogPresser presser(IDCANCEL);
    std::string chosen = "unchanged";
    EXPECT_FALSE(
        platform::native::openFileDialog(nullptr, "WAV files|*.wav|All files|*.*|", chosen));
    EXPECT_TRUE(presser.join());
    EXPECT_EQ(chosen, "unchanged");
}

TEST(Win32SystemErrors, TextComesFromTheSystemOrNamesTheCode) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    std::string known = platform::lastSystemErrorText();
    EXPECT_FALSE(known.empty());
    EXPECT_EQ(known.find("Unknown error code"), std::string::npos) << known;

    // A customer-defined code has no text in the system's table.
    SetLastError(0x2000ABCD);
    EXPECT_EQ(platform::lastSystemErrorText(), "Unknown error code 536914893");
}

TEST(Win32SystemErrors, AFailedLoadLeavesItsReasonForTheCaller) {
    EXPECT_EQ(platform::loadLibrary("Gear\\Nowhere\\missing.dll"), nullptr);
    std::string text = platform::lastSystemErrorText();
    EXPECT_EQ(text.find("Unknown error code"), std::string::npos) << text;
}

TEST(Win32ModulePath, NamesTheLibraryThatHoldsAnAddress) {
    platform::LibraryHandle library =
        platform::loadLibrary("Gear\\Generators\\Korvane Spoolex REVA 081029.x64.dll");
    ASSERT_NE(library, nullptr) << platform::lastSystemErrorText();
    std::string path = platform::modulePath(platform::librarySymbol(library, "GetInfo"));
    const std::string file = "\\Korvane Spoolex REVA 081029.x64.dll";
    ASSERT_GT(path.size(), file.size());
    EXPECT_EQ(path.substr(path.size() - file.size()), file) << path;
    EXPECT_EQ(path[1], ':') << "a full path: " << path;
    EXPECT_EQ(platform::folderOf(path), path.substr(0, path.size() - file.size() + 1));
    platform::freeLibrary(library);
}

} // namespace
