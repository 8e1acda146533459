// Which bindings a key message fires. The editor view calls these from its
// key-down and character handling and sends each command to itself; the
// message then takes its default processing whatever fired.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "generator/settings/KeyboardShortcut.h"

namespace spoolex {

using SendCommand = std::function<void(uint16_t command)>;

// Every virtual-key binding of virtualKey whose modifiers equal modifiers
// exactly, in list order.
void fireKeyDown(const std::vector<KeyboardShortcut>& shortcuts, uint32_t virtualKey,
                 uint32_t modifiers, const SendCommand& send);

// Every character binding of character, whatever modifiers are held.
void fireCharacter(const std::vector<KeyboardShortcut>& shortcuts, uint32_t character,
                   const SendCommand& send);

} // namespace spoolex
