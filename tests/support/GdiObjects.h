// How many GDI objects this process holds, for tests that look for leaks.
// Windows counts them (GetGuiResources). Wine answers 0 there; it keeps the
// process's GDI handle table where Windows does, at the process environment
// block's GdiSharedHandleTable (offset 0xF8 on x64), 24-byte entries with
// the object's type in byte 14 (0 for a free entry): those are counted.
#pragma once

#include <windows.h>

#include <cstdint>

namespace testsupport {

inline long gdiObjectCount() {
    if (DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS))
        return static_cast<long>(counted);
    const uint8_t* environment = nullptr;
    asm("mov %%gs:0x60, %0" : "=r"(environment)); // the thread block's pointer to it

    const auto* table = *reinterpret_cast<const uint8_t* const*>(environment + 0xF8);
    if (!table)
        return -1;
    long used = 0;
    for (int entry = 0; entry < 0x10000; ++entry)
        used += table[24 * entry + 14] != 0;
    return used;
}

} // namespace testsupport
