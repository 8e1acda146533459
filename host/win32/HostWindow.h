// The stand-in host as a window on Windows: a top-level window with the
// song's sequence view on the left, painted pattern box by pattern box
// through each generator's picture slot, and a machine's own pattern editor
// embedded on the right, as the real host embeds it.
#pragma once

#include <windows.h>

#include <string>

namespace host {

class Host;
class HostMachine;
class HostPattern;

class HostWindow {
public:
    HostWindow() = default;
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // Opens the window with a client area of width x height and asks the
    // machine for its editor (extension slot 16) showing pattern (slot 17).
    // False with a reason when the system refuses a window or the machine
    // has no editor.
    bool open(Host& host, HostMachine& machine, HostPattern* pattern, int width, int height,
              std::string& error);

    HWND window() const { return topLevel; }
    HWND editor() const { return editorFrame; }
    HWND sequenceView() const { return sequences; }

    // Handles what is queued, then paints every window that needs it.
    void settle();
    // The message loop, until the user closes the window.
    void run();

private:
    static LRESULT CALLBACK topLevelProcedure(HWND, UINT, WPARAM, LPARAM);
    static LRESULT CALLBACK sequenceProcedure(HWND, UINT, WPARAM, LPARAM);
    void layout();
    void paintSequences(HDC dc, const RECT& client);

    Host* host = nullptr;
    HostMachine* machine = nullptr;
    bool running = false;
    HWND topLevel = nullptr;
    HWND sequences = nullptr;
    HWND editorFrame = nullptr;
};

} // namespace host
