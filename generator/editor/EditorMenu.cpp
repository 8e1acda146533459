#include "generator/editor/EditorMenu.h"

#include "generator/editor/EditorCommandIds.h"

namespace {

using platform::MenuItem;
namespace cmd = editorcommand;

MenuItem item(unsigned id, const char* text, bool enabled = true) {
    return MenuItem{id, text, enabled, {}};
}

MenuItem separator() {
    return MenuItem{};
}

MenuItem subMenu(const char* text, std::vector<MenuItem> children) {
    return MenuItem{0, text, true, std::move(children)};
}

// Entries that are disabled have no behaviour; nothing enables them.
std::vector<MenuItem> buildMenu() {
    std::vector<MenuItem> main{
        subMenu("&Import", {item(cmd::importFromWavetable, "From &Wavetable"),
                            item(cmd::importFromFile, "From &File...")}),
        subMenu("E&xport Selection", {item(cmd::exportToWavetable, "To &Wavetable..."),
                                      item(cmd::exportToFile, "To &File...")}),
        separator(),
        subMenu("&Select",
                {item(cmd::selectAll, "&All"), item(cmd::selectNone, "&None"),
                 item(cmd::selectPrefix, "&Prefix"), item(cmd::selectSuffix, "&Suffix")}),
        subMenu("&Edit",
                {item(cmd::externalEditor, "Send To E&xternal Editor..."), separator(),
                 item(cmd::cut, "Cu&t\tCtrl+X"), item(cmd::copy, "&Copy\tCtrl+C"),
                 item(cmd::paste, "&Paste\tCtrl+V"), item(cmd::deleteSelection, "&Delete"),
                 item(cmd::trim, "&Trim", false), separator(),
                 item(cmd::normalise, "&Normalise", false),
                 item(cmd::removeDc, "&Remove DC", false), item(cmd::silence, "&Silence", false),
                 item(cmd::fadeIn, "Fade &In", false), item(cmd::fadeOut, "Fade &Out", false)}),
        subMenu("&Take",
                {item(cmd::setActive, "Set &Active"), item(cmd::clearActive, "&Clear Active"),
                 separator(), item(cmd::mixToNewTake, "&Mix To New Take", false), separator(),
                 item(cmd::deleteThis, "&Delete This"),
                 item(cmd::deleteOthers, "Delete Others", false)}),
        subMenu("&View", {item(cmd::zoomIn, "Zoom &In"), item(cmd::zoomOut, "Zoom &Out"),
                          item(cmd::zoomToFitWave, "Zoom To &Fit Wave"),
                          item(cmd::zoomSelection, "Zoom &Selection"), separator(),
                          item(cmd::refresh, "&Refresh")}),
        separator(),
        item(cmd::previewPlay, "&Preview Play"),
        item(cmd::info, "I&nfo..."),
    };
    return {subMenu("Main menu", std::move(main))};
}

void collect(const std::vector<MenuItem>& items, std::vector<unsigned>& out) {
    for (const MenuItem& entry : items) {
        if (!entry.children.empty())
            collect(entry.children, out);
        else if (entry.id != 0)
            out.push_back(entry.id);
    }
}

void applyStates(std::vector<MenuItem>& items, const std::function<bool(unsigned)>& enabled) {
    for (MenuItem& entry : items) {
        applyStates(entry.children, enabled);
        if (entry.id == cmd::cut || entry.id == cmd::copy || entry.id == cmd::paste)
            entry.enabled = enabled(entry.id);
    }
}

} // namespace

std::vector<platform::MenuItem> editorMenuWithStates(const std::function<bool(unsigned)>& enabled) {
    std::vector<MenuItem> menu = editorMenu();
    applyStates(menu, enabled);
    return menu;
}

const std::vector<platform::MenuItem>& editorMenu() {
    static const std::vector<MenuItem> menu = buildMenu();
    return menu;
}

std::vector<unsigned> editorMenuCommands() {
    std::vector<unsigned> ids;
    collect(editorMenu(), ids);
    return ids;
}
