#include "platform/win32/TemplateListItems.h"

#include <cstring>
#include <string>

namespace platform::win32 {

namespace {
constexpr WORD listItemResourceType = 240;
constexpr WORD addString = 0x0403;
} // namespace

bool addTemplateListItems(HWND dialog, HMODULE module, WORD templateId) {
    HRSRC found =
        FindResourceW(module, MAKEINTRESOURCEW(templateId), MAKEINTRESOURCEW(listItemResourceType));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* data = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!data)
        return false;
    const size_t size = SizeofResource(module, found);
    size_t at = 0;
    while (at + 2 <= size) {
        WORD control = 0, message = 0;
        uint32_t length = 0;
        std::memcpy(&control, data + at, 2);
        if (control == 0)
            return true;
        if (at + 8 > size)
            return false;
        std::memcpy(&message, data + at + 2, 2);
        std::memcpy(&length, data + at + 4, 4);
        at += 8;
        if (length > size - at)
            return false;
        if (message == addString) {
            // The text usually brings its own terminator; never rely on it.
            std::string text(reinterpret_cast<const char*>(data + at), length);
            text.resize(std::strlen(text.c_str()));
            SendDlgItemMessageA(dialog, control, CB_ADDSTRING, 0,
                                reinterpret_cast<LPARAM>(text.c_str()));
        }
        at += length;
    }
    return false;
}

} // namespace platform::win32
