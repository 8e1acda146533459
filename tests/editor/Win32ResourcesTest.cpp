// The generator DLL's own menu and dialog templates, read back from the
// built plug-in under Wine: every menu entry with its number and state, and
// every toolbar and export-dialog control where it belongs, as the system
// lays them out.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "generator/editor/EditorCommandIds.h"
#include "generator/editor/EditorMenu.h"
#include "generator/editor/PatternEditorDialogBar.h"
#include "generator/resources/resource.h"
#include "platform/win32/TemplateListItems.h"
#include "tests/support/GearPaths.h"

namespace {

// The resource script can only read defines; the editor's code has its own
// constants. They must be the same numbers.
static_assert(IDD_DIALOG_BAR == dialogBarTemplate && IDR_EDITOR_MENU == editorMenuTemplate);
static_assert(IDW_DIALOG_BAR == dialogBarControlId);
static_assert(IDC_SNAP == barcontrol::snapList && IDC_FINE_SPIN == barcontrol::fineSpin &&
              IDC_COARSE_SPIN == barcontrol::coarseSpin && IDC_FINE_EDIT == barcontrol::fineEdit &&
              IDC_COARSE_EDIT == barcontrol::coarseEdit &&
              IDC_ZOOM_LABEL == barcontrol::zoomLabel &&
              IDC_HEIGHT_LABEL == barcontrol::heightLabel &&
              IDC_RECORD_SOURCE == barcontrol::recordSourceList &&
              IDC_ARM == barcontrol::armToggle);
static_assert(ID_OPEN_MENU == editorcommand::openMenu &&
              ID_REFRESH_KEY == editorcommand::refreshKey &&
              ID_ROW_HEIGHT_UP == editorcommand::rowHeightUp &&
              ID_ROW_HEIGHT_DOWN == editorcommand::rowHeightDown);

class ResourcesTest : public ::testing::Test {
protected:
    void SetUp() override {
        module = LoadLibraryExA(testsupport::generatorPluginPath().c_str(), nullptr,
                                LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void TearDown() override {
        if (dialog)
            DestroyWindow(dialog);
        if (parent)
            DestroyWindow(parent);
        if (module)
            FreeLibrary(module);
    }

    // A dialog of the template, shown as a child of a plain window for the
    // toolbar, on its own for the export dialog.
    HWND createDialog(WORD templateId, bool child) {
        if (child)
            parent = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 200, nullptr,
                                     nullptr, nullptr, nullptr);
        dialog = CreateDialogParamW(
            module, MAKEINTRESOURCEW(templateId), parent,
            [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
        return dialog;
    }

    // A control's rectangle in dialog units (as far as the system rounds).
    RECT inDialogUnits(HWND control) const {
        RECT r{};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        RECT unit{0, 0, 4, 8};
        MapDialogRect(dialog, &unit);
        return {MulDiv(r.left, 4, unit.right), MulDiv(r.top, 8, unit.bottom),
                MulDiv(r.right, 4, unit.right), MulDiv(r.bottom, 8, unit.bottom)};
    }

    HMODULE module = nullptr;
    HWND parent = nullptr;
    HWND dialog = nullptr;
};

std::string textOf(HWND window) {
    char text[256] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// "place > text = id", with " (disabled)" for greyed entries.
void listMenu(HMENU menu, const std::string& place, std::vector<std::string>& lines) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = {};
        MENUITEMINFOA item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = sizeof text;
        ASSERT_TRUE(GetMenuItemInfoA(menu, i, TRUE, &item));
        if (item.fType & MFT_SEPARATOR) {
            lines.push_back(place + "---");
        } else if (item.hSubMenu) {
            listMenu(item.hSubMenu, place + text + " > ", lines);
        } else {
            lines.push_back(place + text + " = " + std::to_string(item.wID) +
                            (item.fState & MFS_GRAYED ? " (disabled)" : ""));
        }
    }
}

// The same listing of the editor's own menu table.
void listTable(const std::vector<platform::MenuItem>& items, const std::string& place,
               std::vector<std::string>& lines) {
    for (const platform::MenuItem& item : items) {
        if (!item.children.empty())
            listTable(item.children, place + item.text + " > ", lines);
        else if (item.id == 0)
            lines.push_back(place + "---");
        else
            lines.push_back(place + item.text + " = " + std::to_string(item.id) +
                            (item.enabled ? "" : " (disabled)"));
    }
}

TEST_F(ResourcesTest, TheTemplatesAgreeWithTheEditorsOwnTables) {
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(IDR_EDITOR_MENU));
    ASSERT_NE(menu, nullptr);
    std::vector<std::string> fromTemplate, fromTable;
    listMenu(GetSubMenu(menu, 0), "", fromTemplate);
    DestroyMenu(menu);
    listTable(editorMenu()[0].children, "", fromTable);
    EXPECT_EQ(fromTemplate, fromTable);

    ASSERT_NE(createDialog(IDD_DIALOG_BAR, true), nullptr);
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const platform::ControlLayout& layout : dialogBarControls()) {
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(GetDlgCtrlID(child), layout.id);
        EXPECT_EQ(textOf(child), layout.text);
        // Spin buttons place themselves, taking their edit's right edge.
        if (layout.kind != platform::ControlKind::Spin) {
            RECT r = inDialogUnits(child);
            EXPECT_NEAR(r.left, layout.dialogUnits.left, 1) << layout.text;
            if (layout.kind != platform::ControlKind::Edit) {
                EXPECT_NEAR(r.right - r.left, layout.dialogUnits.right, 1) << layout.text;
            }
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

struct Control {
    int id;
    const char* className;
    const char* text;
    RECT units;  // left, top, right, bottom; right 0: not checked
    DWORD style; // bits that must be set
};

void expectControls(HWND dialog, const std::vector<Control>& controls,
                    const std::function<RECT(HWND)>& units) {
    // Children in creation order are the tab order.
    HWND child = GetWindow(dialog, GW_CHILD);
    for (const Control& expected : controls) {
        ASSERT_NE(child, nullptr) << expected.text;
        SCOPED_TRACE(std::to_string(expected.id) + " " + expected.text);
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        EXPECT_EQ(GetDlgCtrlID(child), expected.id);
        EXPECT_STRCASEEQ(className, expected.className);
        EXPECT_EQ(textOf(child), expected.text);
        DWORD style = static_cast<DWORD>(GetWindowLongA(child, GWL_STYLE));
        EXPECT_EQ(style & expected.style, expected.style);
        // The dialog manager turns an edit's border into a sunken edge.
        if (std::string(className) == "Edit") {
            EXPECT_TRUE(style & WS_BORDER || GetWindowLongA(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        }
        if (std::string(className) == "ComboBox") {
            EXPECT_FALSE(style & CBS_SORT);
        }
        if (expected.units.right) {
            RECT r = units(child);
            EXPECT_NEAR(r.left, expected.units.left, 1);
            EXPECT_NEAR(r.top, expected.units.top, 1);
            EXPECT_NEAR(r.right, expected.units.right, 1);
            // A closed list is one line high.
            if (std::string(className) != "ComboBox") {
                EXPECT_NEAR(r.bottom, expected.units.bottom, 1);
            }
        }
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr);
}

TEST_F(ResourcesTest, TheDialogBarHoldsItsControlsInTabOrderAtTheirPlaces) {
    ASSERT_NE(createDialog(IDD_DIALOG_BAR, true), nullptr);
    RECT size{};
    GetClientRect(dialog, &size);
    EXPECT_NEAR(inDialogUnits(dialog).right - inDialogUnits(dialog).left, 574, 1);

    const DWORD spin =
        UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    const DWORD list = CBS_DROPDOWNLIST;
    const DWORD sunken = SS_SUNKEN | SS_CENTERIMAGE;
    auto units = [this](HWND control) { return inDialogUnits(control); };
    expectControls(dialog,
                   {
                       {32792, "Static", "Menu", {2, 2, 27, 14}, SS_CENTER | SS_NOTIFY},
                       {-1, "Static", "Grid", {34, 2, 49, 14}, 0},
                       // The spin buttons take the right edge of their edits.
                       {1020, "Edit", "", {49, 2, 0, 14}, ES_NUMBER},
                       {1008, "msctls_updown32", "", {0, 0, 0, 0}, spin},
                       {-1, "Static", "x", {88, 2, 96, 14}, SS_CENTER},
                       {1021, "Edit", "", {96, 2, 0, 14}, ES_NUMBER},
                       {1009, "msctls_updown32", "", {0, 0, 0, 0}, spin},
                       {-1, "Static", "Snap", {137, 2, 153, 14}, 0},
                       {1019, "ComboBox", "", {154, 2, 202, 134}, list},
                       {-1, "Static", "Zoom", {209, 2, 227, 14}, 0},
                       {1023, "Static", "100%", {229, 2, 263, 14}, sunken},
                       {32803, "Button", "+", {264, 2, 274, 14}, 0},
                       {32804, "Button", "-", {274, 2, 284, 14}, 0},
                       {32806, "Button", "Sel", {353, 2, 366, 14}, 0},
                       {32805, "Button", "All", {367, 2, 380, 14}, 0},
                       {-1, "Static", "Rec src", {386, 2, 410, 14}, 0},
                       {1024, "ComboBox", "", {412, 2, 496, 155}, list},
                       {1025, "Button", "Arm", {496, 2, 514, 14}, BS_AUTOCHECKBOX | BS_PUSHLIKE},
                       {-1, "Static", "x", {285, 2, 293, 14}, SS_CENTER},
                       {1026, "Static", "100px", {293, 2, 327, 14}, sunken},
                       {32807, "Button", "+", {328, 2, 338, 14}, 0},
                       {32808, "Button", "-", {338, 2, 348, 14}, 0},
                   },
                   units);

    for (auto [editId, spinId, right] : {std::tuple{1020, 1008, 87}, std::tuple{1021, 1009, 134}}) {
        HWND edit = GetDlgItem(dialog, editId);
        HWND spinButton = GetDlgItem(dialog, spinId);
        EXPECT_EQ(reinterpret_cast<HWND>(SendMessageA(spinButton, UDM_GETBUDDY, 0, 0)), edit);
        EXPECT_NEAR(inDialogUnits(spinButton).right, right, 1);
        EXPECT_NEAR(inDialogUnits(spinButton).left, inDialogUnits(edit).right, 1);
    }
}

TEST_F(ResourcesTest, TheExportDialogIsLaidOutWithItsFormats) {
    ASSERT_NE(createDialog(IDD_EXPORT_WAVETABLE, false), nullptr);
    EXPECT_EQ(textOf(dialog), "Export to wavetable");
    RECT client{};
    GetClientRect(dialog, &client);
    RECT expectedSize{0, 0, 222, 46};
    MapDialogRect(dialog, &expectedSize);
    EXPECT_EQ(client.right, expectedSize.right);
    EXPECT_EQ(client.bottom, expectedSize.bottom);

    const DWORD list = CBS_DROPDOWNLIST;
    auto units = [this](HWND control) { return inDialogUnits(control); };
    expectControls(dialog,
                   {
                       {IDOK, "Button", "OK", {165, 7, 215, 21}, BS_DEFPUSHBUTTON},
                       {IDCANCEL, "Button", "Cancel", {165, 24, 215, 38}, 0},
                       {-1, "Static", "Wave", {7, 7, 31, 19}, 0},
                       {1010, "ComboBox", "", {38, 7, 160, 177}, list},
                       {-1, "Static", "Format", {7, 27, 31, 39}, 0},
                       {1011, "ComboBox", "", {38, 27, 145, 174}, list},
                       {1012, "Button", "?", {147, 27, 160, 39}, 0},
                   },
                   units);

    ASSERT_TRUE(platform::win32::addTemplateListItems(dialog, module, IDD_EXPORT_WAVETABLE));
    HWND formats = GetDlgItem(dialog, IDC_FORMAT_LIST);
    ASSERT_EQ(SendMessageA(formats, CB_GETCOUNT, 0, 0), 2);
    char item[32] = {};
    SendMessageA(formats, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "32-bit float");
    SendMessageA(formats, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(item));
    EXPECT_STREQ(item, "16-bit int");
}

} // namespace
