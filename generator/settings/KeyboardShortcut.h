// A key binding from the settings file: a typed character or a virtual key
// (with Ctrl and Shift) that sends an editor command.
#pragma once

#include <cstdint>
#include <exception>

class TiXmlElement;

namespace spoolex {

// Modifier bits of a virtual-key binding and of the keyboard's state.
constexpr uint32_t modifierShift = 1;
constexpr uint32_t modifierCtrl = 2;

struct KeyboardShortcut {
    enum class Kind : uint32_t { VirtualKey = 0, Character = 1 };

    // A bad <key> element. The only exception the generator throws; the
    // settings loader catches it, reports it and skips the element.
    class Error : public std::exception {
    public:
        explicit Error(const char* message) noexcept : message(message) {}
        const char* what() const noexcept override { return message; }

    private:
        const char* message; // always a literal
    };

    // Character bindings: the character's byte, sign-extended. Virtual-key
    // bindings: the virtual-key code.
    int32_t key = 0;
    uint32_t modifiers = 0; // always 0 for character bindings
    Kind kind = Kind::VirtualKey;
    uint16_t command = 0;
};

// Reads one <key> element; throws KeyboardShortcut::Error.
KeyboardShortcut parseShortcut(const TiXmlElement& element);

// The low 16 bits of the decimal number text starts with (blanks and a sign
// may lead; no digits gives 0).
uint16_t commandIdentifier(const char* text);

} // namespace spoolex
