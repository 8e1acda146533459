#include "platform/win32/ExportWavetableDialog.h"

#include <windows.h>

#include "platform/Dialogs.h"
#include "platform/win32/TemplateListItems.h"
#include "platform/win32/WindowBinding.h"

namespace platform::win32 {

namespace {

constexpr WORD exportTemplate = 1008;
constexpr int waveList = 1010;
constexpr int formatList = 1011;
constexpr int helpButton = 1012;

struct DialogState {
    const std::vector<std::string>& waves;
    int preselectedWave;
    const std::string& helpText;
    int chosenWave = 0;
    int chosenFormat = 0;
};

INT_PTR CALLBACK exportProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<DialogState*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        state = reinterpret_cast<DialogState*>(lParam);
        for (const std::string& wave : state->waves)
            SendDlgItemMessageA(dialog, waveList, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(wave.c_str()));
        SendDlgItemMessageA(dialog, waveList, CB_SETCURSEL,
                            static_cast<WPARAM>(state->preselectedWave), 0);
        addTemplateListItems(dialog, ownModule(), exportTemplate);
        SendDlgItemMessageA(dialog, formatList, CB_SETCURSEL, 0, 0);
        return TRUE;
    }
    if (message != WM_COMMAND || !state)
        return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:
        state->chosenWave =
            static_cast<int>(SendDlgItemMessageA(dialog, waveList, CB_GETCURSEL, 0, 0));
        state->chosenFormat =
            static_cast<int>(SendDlgItemMessageA(dialog, formatList, CB_GETCURSEL, 0, 0));
        EndDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    case helpButton:
        if (HIWORD(wParam) == BN_CLICKED)
            messageBox(dialog, state->helpText, nullptr, MessageIcon::None, MessageButtons::Ok);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool runExportWavetableDialog(WindowHandle owner, const std::vector<std::string>& waves,
                              int preselectedWave, const std::string& helpText, int& chosenWave,
                              int& chosenFormat) {
    DialogState state{waves, preselectedWave, helpText};
    const INT_PTR result =
        DialogBoxParamW(ownModule(), MAKEINTRESOURCEW(exportTemplate), static_cast<HWND>(owner),
                        exportProcedure, reinterpret_cast<LPARAM>(&state));
    if (result != IDOK)
        return false;
    chosenWave = state.chosenWave;
    chosenFormat = state.chosenFormat;
    return true;
}

} // namespace platform::win32
