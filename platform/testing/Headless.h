// Driving headless windows (posix/HeadlessWindow.h) as a user and a screen
// would: size them, paint them onto a surface, let their timers fire, find
// their children. For tests and the stand-in host on systems without a
// window system.
#pragma once

#include <string>

#include "platform/posix/HeadlessWindow.h"

namespace platform::headless {

// The window's new client size, as the user or the host's layout sets it.
inline void resize(WindowHandle window, int width, int height) {
    const PixelRect now = windowOf(window)->rect;
    moveWindow(window, {now.left, now.top, now.left + width, now.top + height});
}

// One paint message whose drawing goes to surface.
inline void paintOnto(WindowHandle window, Surface& surface) {
    Window* target = windowOf(window);
    target->paintSurface = &surface;
    target->paintRect = surface.paintRect();
    sendMessage(window, messagePaint, 0, 0);
    target->paintSurface = nullptr;
}

inline void fireTimer(WindowHandle window, unsigned id) {
    if (windowOf(window)->timers.count(id))
        sendMessage(window, messageTimer, id, 0);
}

// Another program takes the mouse away mid-drag (the user switches to it,
// a box opens, the host captures it): no button-up follows.
inline void loseCapture() {
    captureMouse(nullptr);
}

// The first descendant with that window name, or null.
inline Window* findByName(WindowHandle root, const std::string& name) {
    Window* window = windowOf(root);
    if (!window)
        return nullptr;
    if (window->name == name)
        return window;
    for (Window* child : window->children)
        if (Window* found = findByName(child, name))
            return found;
    return nullptr;
}

// The first descendant that is a dialog made from templateId, or null.
inline Window* findDialog(WindowHandle root, int templateId) {
    Window* window = windowOf(root);
    if (!window)
        return nullptr;
    if (window->templateId == templateId)
        return window;
    for (Window* child : window->children)
        if (Window* found = findDialog(child, templateId))
            return found;
    return nullptr;
}

// The user's acts on dialog controls: each changes the control and notifies
// its dialog as the system does.
inline void chooseListItem(WindowHandle dialog, int id, int index) {
    listSelect(dialog, id, index);
    sendMessage(dialog, messageCommand,
                commandParameter(static_cast<unsigned>(id), notifyListSelectionChanged),
                reinterpret_cast<intptr_t>(dialogItem(dialog, id)));
}

inline void typeText(WindowHandle dialog, int id, const std::string& text) {
    setItemText(dialog, id, text);
}

inline void clickButton(WindowHandle dialog, int id) {
    Window* control = windowOf(dialogItem(dialog, id));
    if (!control)
        return;
    if (control->kind == ControlKind::Toggle)
        control->checked = !control->checked;
    sendMessage(dialog, messageCommand,
                commandParameter(static_cast<unsigned>(id), notifyButtonClicked),
                reinterpret_cast<intptr_t>(control));
}

} // namespace platform::headless
