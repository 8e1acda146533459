// A window without a window system: a record of what the real window would
// show. The plug-in makes and frees these; a program that loads the plug-in
// (the tests, the stand-in host) reads them and sends them messages through
// platform/testing/Headless.h. Plain data and no state outside it, so every
// module that includes this header works on the same windows.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "platform/Window.h"

namespace platform::headless {

struct Window {
    Window* parent = nullptr;
    std::vector<Window*> children; // creation order
    WindowProcedure procedure = nullptr;
    void* context = nullptr;

    std::string name;
    int controlId = 0;
    bool visible = true;
    bool tabStop = false;
    PixelRect rect{}; // in the parent's client coordinates

    bool hasHorizontalScrollBar = false;
    bool hasVerticalScrollBar = false;
    ScrollState horizontal;
    ScrollState vertical;

    std::map<unsigned, unsigned> timers; // id -> period in ms

    // Marked for painting, and how often that was asked.
    bool invalid = false;
    int invalidations = 0;
    // The surface a paint or a direct drawing goes to, set by the driver.
    Surface* paintSurface = nullptr;
    PixelRect paintRect{};
    Surface* screenSurface = nullptr;

    // Dialogs made from a template, and their controls.
    int templateId = 0;
    bool isControl = false;
    ControlKind kind = ControlKind::Label;
    std::string text;
    std::vector<std::pair<std::string, intptr_t>> items;
    int selection = -1;
    bool checked = false;
    int32_t spinLowest = 0;
    int32_t spinHighest = 100;
    int buddyId = 0;

    bool hasCapture = false;
    bool hasFocus = false;
    bool destroyed = false;
};

inline Window* windowOf(WindowHandle handle) {
    return static_cast<Window*>(handle);
}

} // namespace platform::headless
