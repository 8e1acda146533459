// The system's own message boxes and pickers. Texts and paths are in the
// active code page, like every path the rest of the program opens.
#include <windows.h>

#include <commdlg.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "platform/NativeDialogs.h"

namespace platform::native {

namespace {

UINT iconStyle(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Error:
        return MB_ICONERROR;
    case MessageIcon::Warning:
        return MB_ICONWARNING;
    case MessageIcon::Information:
        return MB_ICONINFORMATION;
    case MessageIcon::Question:
        return MB_ICONQUESTION;
    case MessageIcon::None:
        break;
    }
    return 0;
}

UINT buttonStyle(MessageButtons buttons) {
    switch (buttons) {
    case MessageButtons::OkCancel:
        return MB_OKCANCEL;
    case MessageButtons::YesNo:
        return MB_YESNO;
    case MessageButtons::YesNoCancel:
        return MB_YESNOCANCEL;
    case MessageButtons::Ok:
        break;
    }
    return MB_OK;
}

// Preselects the folder once the picker is up; lParam is the folder or null.
int CALLBACK folderPickerInit(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED && data)
        SendMessageA(window, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

constexpr UINT newDialogStyleWithEditBox = 0x50;

} // namespace

MessageAnswer messageBox(WindowHandle owner, const std::string& text, const char* caption,
                         MessageIcon icon, MessageButtons buttons) {
    int result = MessageBoxA(static_cast<HWND>(owner), text.c_str(), caption,
                             iconStyle(icon) | buttonStyle(buttons));
    switch (result) {
    case IDOK:
        return MessageAnswer::Ok;
    case IDYES:
        return MessageAnswer::Yes;
    case IDNO:
        return MessageAnswer::No;
    default:
        // Closed, or no box at all: nobody agreed to anything.
        return buttons == MessageButtons::Ok ? MessageAnswer::Ok : MessageAnswer::Cancel;
    }
}

FolderPick pickFolder(WindowHandle owner, const std::string& title,
                      const std::string& initialSelection, std::string& chosenPath) {
    // The new-style picker needs COM on this thread; a host has it already,
    // and then this only counts one more use.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    BROWSEINFOA info{};
    info.hwndOwner = static_cast<HWND>(owner);
    info.lpszTitle = title.c_str();
    info.ulFlags = newDialogStyleWithEditBox;
    info.lpfn = folderPickerInit;
    info.lParam = initialSelection.empty() ? 0 : reinterpret_cast<LPARAM>(initialSelection.c_str());
    PIDLIST_ABSOLUTE folder = SHBrowseForFolderA(&info);
    FolderPick pick = FolderPick::Cancelled;
    if (folder) {
        char path[MAX_PATH] = {};
        if (SHGetPathFromIDListA(folder, path)) {
            chosenPath = path;
            pick = FolderPick::Chosen;
        } else {
            pick = FolderPick::NoFileSystemPath;
        }
        CoTaskMemFree(folder);
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return pick;
}

bool openFileDialog(WindowHandle owner, const std::string& filter, std::string& chosenPath) {
    // The system wants each part ended by a zero and the list by two.
    std::vector<char> filters(filter.begin(), filter.end());
    for (char& c : filters)
        if (c == '|')
            c = 0;
    filters.push_back(0);
    filters.push_back(0);
    char file[MAX_PATH] = {};
    OPENFILENAMEA dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = static_cast<HWND>(owner);
    dialog.lpstrFilter = filters.data();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    if (!GetOpenFileNameA(&dialog))
        return false;
    chosenPath = file;
    return true;
}

} // namespace platform::native

namespace platform {
WindowHandle foregroundWindow() {
    return GetForegroundWindow();
}
} // namespace platform
