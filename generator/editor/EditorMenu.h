// The editor menu (template 1007): one table of identifiers, texts and
// enabled states. Its first sub-menu is what the bar's "Menu" label opens.
#pragma once

#include <vector>

#include "platform/Window.h"

constexpr int editorMenuTemplate = 1007;

const std::vector<platform::MenuItem>& editorMenu();

// The command identifiers of the menu's entries, in menu order.
std::vector<unsigned> editorMenuCommands();
