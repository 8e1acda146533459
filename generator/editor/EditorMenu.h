// The editor menu (template 1007): one table of identifiers, texts and
// enabled states. Its first sub-menu is what the bar's "Menu" label opens.
#pragma once

#include <functional>
#include <vector>

#include "platform/Window.h"

constexpr int editorMenuTemplate = 1007;

const std::vector<platform::MenuItem>& editorMenu();
// The menu as it opens: Cut, Copy and Paste enabled as the command-state
// rule says (Paste greyed with nothing to paste).
std::vector<platform::MenuItem> editorMenuWithStates(const std::function<bool(unsigned)>& enabled);

// The command identifiers of the menu's entries, in menu order.
std::vector<unsigned> editorMenuCommands();
