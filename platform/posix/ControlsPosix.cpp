// Dialog controls and pop-up menus without a window system: each control is
// a child record of its dialog, and menus ask the program's scripted user.
#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "platform/HookedMenus.h"
#include "platform/posix/HeadlessWindow.h"

namespace platform {

using headless::Window;
using headless::windowOf;

namespace {

// Dialog units of the dialogs' font in pixels: 6 x 13 pixels per 4 x 8 units.
PixelRect pixelsOf(const PixelRect& units) {
    return {units.left * 6 / 4, units.top * 13 / 8, (units.left + units.right) * 6 / 4,
            (units.top + units.bottom) * 13 / 8};
}

// The closed height of a drop-down list in dialog units.
constexpr int droppedListClosedHeight = 12;

void notify(Window* control, unsigned code) {
    if (control && control->parent)
        sendMessage(control->parent, messageCommand,
                    commandParameter(static_cast<unsigned>(control->controlId), code),
                    reinterpret_cast<intptr_t>(control));
}

} // namespace

WindowHandle createDialog(WindowHandle parent, int templateId,
                          const std::vector<ControlLayout>& controls, WindowProcedure procedure,
                          void* context) {
    WindowOptions options;
    PixelRect extent{};
    for (const ControlLayout& layout : controls) {
        // A drop-down list's template height includes its dropped list; only
        // the closed box takes room in the dialog.
        PixelRect closed = layout.dialogUnits;
        if (layout.kind == ControlKind::DropList)
            closed.bottom = std::min(closed.bottom, droppedListClosedHeight);
        const PixelRect pixels = pixelsOf(closed);
        extent.right = std::max(extent.right, pixels.right);
        extent.bottom = std::max(extent.bottom, pixels.bottom);
    }
    options.rect = extent;
    auto* dialog = windowOf(createWindow(parent, options, procedure, context));
    dialog->templateId = templateId;
    for (const ControlLayout& layout : controls) {
        WindowOptions controlOptions;
        controlOptions.controlId = layout.id;
        controlOptions.rect = pixelsOf(layout.dialogUnits);
        auto* control = windowOf(createWindow(dialog, controlOptions, nullptr, nullptr));
        control->isControl = true;
        control->kind = layout.kind;
        control->text = layout.text ? layout.text : "";
        control->buddyId = layout.buddyId;
    }
    return dialog;
}

WindowHandle dialogItem(WindowHandle dialog, int id) {
    Window* window = windowOf(dialog);
    if (!window)
        return nullptr;
    for (Window* child : window->children)
        if (child->controlId == id)
            return child;
    return nullptr;
}

void setItemText(WindowHandle dialog, int id, const std::string& text) {
    Window* control = windowOf(dialogItem(dialog, id));
    if (!control)
        return;
    control->text = text;
    if (control->kind == ControlKind::Edit)
        notify(control, notifyEditChanged);
}

std::string itemText(WindowHandle dialog, int id) {
    Window* control = windowOf(dialogItem(dialog, id));
    return control ? control->text : std::string();
}

void setChecked(WindowHandle dialog, int id, bool checked) {
    if (Window* control = windowOf(dialogItem(dialog, id)))
        control->checked = checked;
}

bool isChecked(WindowHandle dialog, int id) {
    Window* control = windowOf(dialogItem(dialog, id));
    return control && control->checked;
}

void listClear(WindowHandle dialog, int id) {
    if (Window* control = windowOf(dialogItem(dialog, id))) {
        control->items.clear();
        control->selection = -1;
    }
}

int listAdd(WindowHandle dialog, int id, const std::string& text, intptr_t data) {
    Window* control = windowOf(dialogItem(dialog, id));
    if (!control)
        return -1;
    control->items.emplace_back(text, data);
    return static_cast<int>(control->items.size()) - 1;
}

void listSelect(WindowHandle dialog, int id, int index) {
    Window* control = windowOf(dialogItem(dialog, id));
    if (!control)
        return;
    control->selection =
        index >= 0 && static_cast<size_t>(index) < control->items.size() ? index : -1;
}

int listSelection(WindowHandle dialog, int id) {
    Window* control = windowOf(dialogItem(dialog, id));
    return control ? control->selection : -1;
}

intptr_t listItemData(WindowHandle dialog, int id, int index) {
    Window* control = windowOf(dialogItem(dialog, id));
    if (!control || index < 0 || static_cast<size_t>(index) >= control->items.size())
        return 0;
    return control->items[static_cast<size_t>(index)].second;
}

int listCount(WindowHandle dialog, int id) {
    Window* control = windowOf(dialogItem(dialog, id));
    return control ? static_cast<int>(control->items.size()) : 0;
}

void spinSetRange(WindowHandle dialog, int id, int32_t lowest, int32_t highest) {
    if (Window* control = windowOf(dialogItem(dialog, id))) {
        control->spinLowest = lowest;
        control->spinHighest = highest;
    }
}

void spinSetPosition(WindowHandle dialog, int id, int32_t position) {
    Window* spin = windowOf(dialogItem(dialog, id));
    if (!spin)
        return;
    position = std::clamp(position, spin->spinLowest, spin->spinHighest);
    // The buddy shows the value without thousands separators.
    setItemText(dialog, spin->buddyId, std::to_string(position));
}

bool spinPosition(WindowHandle dialog, int id, int32_t& position) {
    Window* spin = windowOf(dialogItem(dialog, id));
    if (!spin)
        return false;
    const std::string text = itemText(dialog, spin->buddyId);
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    // Text outside the range is an error too, as the system's spin reports
    // it; the caller keeps its value.
    if (errno != 0 || *end != '\0' || value < spin->spinLowest || value > spin->spinHighest)
        return false;
    position = static_cast<int32_t>(value);
    return true;
}

void openPopupMenu(WindowHandle owner, int, int subMenu, const std::vector<MenuItem>& items, int,
                   int) {
    if (subMenu < 0 || static_cast<size_t>(subMenu) >= items.size())
        return;
    const unsigned chosen = askHookForItem(owner, items[static_cast<size_t>(subMenu)].children);
    if (chosen != 0)
        sendMessage(owner, messageCommand, chosen, 0);
}

unsigned choosePopupItem(WindowHandle owner, const std::vector<MenuItem>& items) {
    return askHookForItem(owner, items);
}

} // namespace platform
