// GDI+ for the whole program, started by the program that loads plug-ins,
// as the real host does: the plug-ins draw with GDI+ and never start it.
#pragma once

#include <cstdint>

namespace platform::win32 {

class GdiPlusSession {
public:
    GdiPlusSession();
    ~GdiPlusSession();
    GdiPlusSession(const GdiPlusSession&) = delete;
    GdiPlusSession& operator=(const GdiPlusSession&) = delete;

    bool started() const { return token != 0; }

private:
    uintptr_t token = 0;
};

} // namespace platform::win32
