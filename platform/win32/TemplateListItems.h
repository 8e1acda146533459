// Drop-down list items that a dialog template brings along: a resource of
// type 240 with the template's number, holding records of
//   control ID (16 bits), message (16 bits), byte count (32 bits), ANSI text
// up to a control ID of 0. Only the message "add string" (0x0403) is used.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Adds the template's items to the lists of dialog; false when the module
// has no such resource or it is malformed (items before the fault are kept).
bool addTemplateListItems(HWND dialog, HMODULE module, WORD templateId);

} // namespace platform::win32
