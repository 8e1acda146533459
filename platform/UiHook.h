// A program that loads the plug-ins (our stand-in host, the tests) may take
// over every modal interaction by exporting `spoolexUiHook`. Each module looks
// it up in the main program at the moment it needs it, so one set of scripted
// answers serves every loaded plug-in. Plain C types only: the hook crosses
// module boundaries.
#pragma once

extern "C" {

struct SpoolexUiHook {
    // Returns a platform::MessageAnswer value. caption may be null.
    int (*messageBox)(void* owner, const char* text, const char* caption, int icon, int buttons);
    // Returns a platform::FolderPick value; writes the path, zero-terminated.
    int (*pickFolder)(void* owner, const char* title, const char* initialSelection, char* path,
                      int pathSize);
    // Returns 1 and writes the path when a file was chosen, 0 when cancelled.
    int (*openFile)(void* owner, const char* filter, char* path, int pathSize);
    // A pop-up menu of count items (id, text, enabled): returns the chosen
    // id, 0 for none.
    unsigned (*popupMenu)(void* owner, const unsigned* ids, const char* const* texts,
                          const int* enabled, int count);
    // Shift 1 plus Ctrl 2 for the keys the user holds now.
    unsigned (*heldModifiers)();
    // The mouse cursor's shape was set (a platform::CursorShape value).
    void (*cursorShape)(int shape);
};

typedef SpoolexUiHook* (*SpoolexUiHookFunction)();
}

namespace platform {
// The main program's hook, or null when it has none.
SpoolexUiHook* findUiHook();
} // namespace platform
