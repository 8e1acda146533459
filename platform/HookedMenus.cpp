#include "platform/HookedMenus.h"

#include "platform/UiHook.h"

namespace platform {

namespace {
void flatten(const std::vector<MenuItem>& items, std::vector<const MenuItem*>& out) {
    for (const MenuItem& item : items) {
        if (!item.children.empty())
            flatten(item.children, out);
        else if (item.id != 0)
            out.push_back(&item);
    }
}
} // namespace

bool hookAnswersMenus() {
    SpoolexUiHook* hook = findUiHook();
    return hook && hook->popupMenu;
}

unsigned askHookForItem(WindowHandle owner, const std::vector<MenuItem>& items) {
    SpoolexUiHook* hook = findUiHook();
    if (!hook || !hook->popupMenu)
        return 0;
    std::vector<const MenuItem*> leaves;
    flatten(items, leaves);
    std::vector<unsigned> ids;
    std::vector<const char*> texts;
    std::vector<int> enabled;
    for (const MenuItem* item : leaves) {
        ids.push_back(item->id);
        texts.push_back(item->text.c_str());
        enabled.push_back(item->enabled ? 1 : 0);
    }
    const unsigned chosen = hook->popupMenu(owner, ids.data(), texts.data(), enabled.data(),
                                            static_cast<int>(ids.size()));
    for (const MenuItem* item : leaves)
        if (item->id == chosen && item->enabled)
            return chosen;
    return 0;
}

} // namespace platform
