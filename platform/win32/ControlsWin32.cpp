// Dialogs from the module's own templates, their controls through the
// system's messages, and pop-up menus with TrackPopupMenu. A program that
// scripts its user answers the menus instead (HookedMenus.h).
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "platform/HookedMenus.h"
#include "platform/Window.h"
#include "platform/win32/WindowBinding.h"

namespace platform {

namespace win32 {

namespace {

const wchar_t* const dialogMark = L"SpoolexDialog";

// A bar docked at the top of its parent shows a line along its bottom edge.
void eraseWithBottomBorder(HWND dialog, HDC dc) {
    RECT client;
    GetClientRect(dialog, &client);
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    DrawEdge(dc, &client, EDGE_ETCHED, BF_BOTTOM);
}

INT_PTR CALLBACK dialogProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetPropW(dialog, dialogMark, reinterpret_cast<HANDLE>(lParam));
        // A bar inside the host's window does not take the keyboard focus.
        return FALSE;
    }
    auto* binding = reinterpret_cast<Binding*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_ERASEBKGND && (GetWindowLongW(dialog, GWL_STYLE) & WS_CHILD)) {
        eraseWithBottomBorder(dialog, reinterpret_cast<HDC>(wParam));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    }
    if (!binding || !binding->created)
        return FALSE;
    if (message == WM_NCDESTROY) {
        RemovePropW(dialog, dialogMark);
        SetWindowLongPtrW(dialog, DWLP_USER, 0);
        std::unique_ptr<Binding> last(binding);
        deliver(binding, dialog, message, wParam, lParam);
        return FALSE;
    }
    deliver(binding, dialog, message, wParam, lParam);
    // Commands are the owner's; everything else also gets the dialog
    // manager's own handling.
    return message == WM_COMMAND;
}

HWND itemOf(WindowHandle dialog, int id) {
    return dialog ? GetDlgItem(static_cast<HWND>(dialog), id) : nullptr;
}

LRESULT toItem(WindowHandle dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    HWND item = itemOf(dialog, id);
    return item ? SendMessageW(item, message, wParam, lParam) : 0;
}

void startCommonControls() {
    static const bool started = [] {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        return InitCommonControlsEx(&controls) != FALSE;
    }();
    (void)started;
}

} // namespace

bool isDialog(HWND window) {
    return window && GetPropW(window, dialogMark) != nullptr;
}

intptr_t dialogDefault(HWND, UINT, WPARAM, LPARAM) {
    // The dialog manager runs after the dialog's procedure declines.
    return 0;
}

} // namespace win32

// The template is the module's resource; the control list describes the
// same controls for systems without templates.
WindowHandle createDialog(WindowHandle parent, int templateId, const std::vector<ControlLayout>&,
                          WindowProcedure procedure, void* context) {
    win32::startCommonControls();
    auto* binding = new win32::Binding{procedure, context};
    HWND dialog = CreateDialogParamW(win32::ownModule(), MAKEINTRESOURCEW(templateId),
                                     static_cast<HWND>(parent), win32::dialogProcedure,
                                     reinterpret_cast<LPARAM>(binding));
    if (!dialog) {
        delete binding;
        return nullptr;
    }
    binding->created = true;
    ShowWindow(dialog, SW_SHOWNA);
    return dialog;
}

WindowHandle dialogItem(WindowHandle dialog, int id) {
    return win32::itemOf(dialog, id);
}

void setItemText(WindowHandle dialog, int id, const std::string& text) {
    // An edit tells its dialog of the change, as when the user types.
    if (dialog)
        SetDlgItemTextA(static_cast<HWND>(dialog), id, text.c_str());
}

std::string itemText(WindowHandle dialog, int id) {
    HWND item = win32::itemOf(dialog, id);
    if (!item)
        return {};
    std::string text(static_cast<size_t>(GetWindowTextLengthA(item)) + 1, '\0');
    text.resize(
        static_cast<size_t>(GetWindowTextA(item, text.data(), static_cast<int>(text.size()))));
    return text;
}

void setChecked(WindowHandle dialog, int id, bool checked) {
    win32::toItem(dialog, id, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED);
}

bool isChecked(WindowHandle dialog, int id) {
    return win32::toItem(dialog, id, BM_GETCHECK) == BST_CHECKED;
}

void listClear(WindowHandle dialog, int id) {
    win32::toItem(dialog, id, CB_RESETCONTENT);
}

int listAdd(WindowHandle dialog, int id, const std::string& text, intptr_t data) {
    HWND list = win32::itemOf(dialog, id);
    if (!list)
        return -1;
    auto index = SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0)
        return -1;
    SendMessageA(list, CB_SETITEMDATA, static_cast<WPARAM>(index), data);
    return static_cast<int>(index);
}

void listSelect(WindowHandle dialog, int id, int index) {
    win32::toItem(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

int listSelection(WindowHandle dialog, int id) {
    HWND list = win32::itemOf(dialog, id);
    return list ? static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0)) : -1;
}

intptr_t listItemData(WindowHandle dialog, int id, int index) {
    if (index < 0 || index >= listCount(dialog, id))
        return 0;
    return win32::toItem(dialog, id, CB_GETITEMDATA, static_cast<WPARAM>(index));
}

int listCount(WindowHandle dialog, int id) {
    return static_cast<int>(win32::toItem(dialog, id, CB_GETCOUNT));
}

void spinSetRange(WindowHandle dialog, int id, int32_t lowest, int32_t highest) {
    win32::toItem(dialog, id, UDM_SETRANGE32, static_cast<WPARAM>(lowest), highest);
}

void spinSetPosition(WindowHandle dialog, int id, int32_t position) {
    // The spin button writes the buddy's text itself (no thousands
    // separators), and the buddy tells the dialog.
    win32::toItem(dialog, id, UDM_SETPOS32, 0, position);
}

bool spinPosition(WindowHandle dialog, int id, int32_t& position) {
    HWND spin = win32::itemOf(dialog, id);
    if (!spin)
        return false;
    BOOL failed = FALSE;
    auto value = static_cast<int32_t>(
        SendMessageW(spin, UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    if (failed)
        return false;
    position = value;
    return true;
}

namespace {

// The items' enabled states decide the menu's, so that what the editor
// finds disabled (Paste with nothing to paste) is greyed.
void applyStates(HMENU menu, const std::vector<MenuItem>& items) {
    for (const MenuItem& item : items) {
        if (!item.children.empty())
            applyStates(menu, item.children);
        else if (item.id != 0)
            EnableMenuItem(menu, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    }
}

} // namespace

void openPopupMenu(WindowHandle owner, int templateId, int subMenu,
                   const std::vector<MenuItem>& items, int x, int y) {
    if (hookAnswersMenus()) {
        if (subMenu < 0 || static_cast<size_t>(subMenu) >= items.size())
            return;
        const unsigned chosen = askHookForItem(owner, items[static_cast<size_t>(subMenu)].children);
        if (chosen != 0)
            sendMessage(owner, messageCommand, chosen, 0);
        return;
    }
    HMENU menu = LoadMenuW(win32::ownModule(), MAKEINTRESOURCEW(templateId));
    if (!menu)
        return;
    if (HMENU popup = GetSubMenu(menu, subMenu)) {
        applyStates(popup, items);
        // The choice arrives at the owner as a command message.
        TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, x, y, 0,
                       static_cast<HWND>(owner), nullptr);
    }
    DestroyMenu(menu);
}

unsigned choosePopupItem(WindowHandle owner, const std::vector<MenuItem>& items) {
    if (hookAnswersMenus())
        return askHookForItem(owner, items);
    HMENU menu = CreatePopupMenu();
    if (!menu)
        return 0;
    for (const MenuItem& item : items) {
        if (item.id == 0 && item.text.empty())
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        else
            AppendMenuA(menu, MF_STRING | (item.enabled ? MF_ENABLED : MF_GRAYED), item.id,
                        item.text.c_str());
    }
    POINT cursor{};
    GetCursorPos(&cursor);
    const auto chosen = static_cast<unsigned>(TrackPopupMenu(
        menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
        cursor.x, cursor.y, 0, static_cast<HWND>(owner), nullptr));
    DestroyMenu(menu);
    return chosen;
}

} // namespace platform
