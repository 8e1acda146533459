#include "generator/settings/KeyboardShortcut.h"

#include <cstring>
#include <tinyxml.h>

#include "generator/settings/VirtualKeyNames.h"

namespace spoolex {

namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
} // namespace

uint16_t commandIdentifier(const char* text) {
    while (isBlank(*text))
        ++text;
    bool negative = *text == '-';
    if (*text == '-' || *text == '+')
        ++text;
    // Only the low 16 bits are kept, so counting modulo 2^16 gives them for
    // any length of number without overflowing.
    uint16_t value = 0;
    for (; *text >= '0' && *text <= '9'; ++text)
        value = static_cast<uint16_t>(value * 10u + static_cast<unsigned>(*text - '0'));
    return negative ? static_cast<uint16_t>(0u - value) : value;
}

KeyboardShortcut parseShortcut(const TiXmlElement& element) {
    KeyboardShortcut shortcut;
    if (const char* character = element.Attribute("char")) {
        if (std::strlen(character) != 1)
            throw KeyboardShortcut::Error("char attribute must be a string of length 1");
        shortcut.key = static_cast<int32_t>(static_cast<signed char>(character[0]));
        shortcut.kind = KeyboardShortcut::Kind::Character;
    } else {
        const char* name = element.Attribute("vkey");
        if (!name)
            throw KeyboardShortcut::Error("Missing char or vkey element");
        if (!findVirtualKey(name, shortcut.key))
            throw KeyboardShortcut::Error("vkey attribute invalid");
        shortcut.kind = KeyboardShortcut::Kind::VirtualKey;
        // Presence alone counts: ctrl="0" still asks for Ctrl.
        if (element.Attribute("ctrl"))
            shortcut.modifiers |= modifierCtrl;
        if (element.Attribute("shift"))
            shortcut.modifiers |= modifierShift;
    }
    const char* command = element.Attribute("command");
    if (!command)
        throw KeyboardShortcut::Error("command attribute missing");
    shortcut.command = commandIdentifier(command);
    return shortcut;
}

} // namespace spoolex
