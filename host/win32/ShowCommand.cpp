#include <algorithm>

#include "generator/editor/SnapshotSettings.h"
#include "host/Commands.h"
#include "host/Host.h"
#include "host/Pictures.h"
#include "host/win32/HostWindow.h"
#include "platform/testing/ScriptedUi.h"
#include "platform/win32/PngFile.h"

namespace host {

namespace {

constexpr unsigned timerMarchingFrame = 2;

// Grows or shrinks the window until the view's client area is width x height
// (scroll bars come and go with the size). The system keeps a window within
// the screen's size, so a view wider than the screen less the sequence view
// stays narrower.
void fitView(HostWindow& window, HWND view, int width, int height) {
    for (int attempt = 0; attempt < 4; ++attempt) {
        RECT client, outer;
        GetClientRect(view, &client);
        int dx = width - client.right, dy = height - client.bottom;
        if (dx == 0 && dy == 0)
            return;
        GetWindowRect(window.window(), &outer);
        SetWindowPos(window.window(), nullptr, 0, 0, outer.right - outer.left + dx,
                     outer.bottom - outer.top + dy, SWP_NOMOVE | SWP_NOZORDER);
        window.settle();
    }
}

} // namespace

int showCommand(const std::string& songPath, const SnapshotOptions& view,
                const ShowOptions& options, const std::string& gear, std::FILE* out) {
    Host host;
    if (!loadSong(host, songPath, gear))
        return 1;
    HostPattern* pattern = editorPattern(host, view.pattern);
    if (!pattern) {
        std::fprintf(stderr, "spoolex-host: no pattern %s%swith an editor in %s\n",
                     view.pattern.c_str(), view.pattern.empty() ? "" : " ", songPath.c_str());
        return 1;
    }
    const int width = std::clamp(view.width, 100, 4096);
    const int height = std::clamp(view.height, 100, 4096);
    std::string error;
    HostWindow window;
    if (!window.open(host, pattern->machine, pattern, width, height, error)) {
        std::fprintf(stderr, "spoolex-host: %s\n", error.c_str());
        return 1;
    }
    HWND editorView = FindWindowExA(window.editor(), nullptr, nullptr, "pated");
    const bool picture = !options.screenshot.empty() || !options.viewPicture.empty();
    if (editorView && picture) {
        // The animated frame steps once, as in the snapshot's picture.
        KillTimer(editorView, timerMarchingFrame);
        if (!options.viewPicture.empty())
            fitView(window, editorView, width, height);
    }
    if (editorView) {
        SnapshotSettings settings;
        settings.zoom = view.zoom;
        settings.rowHeight = view.rowHeight;
        settings.selStart = view.selStart;
        settings.selEnd = view.selEnd;
        settings.currentTake = view.take;
        sendSnapshotSettings(settings, [&](unsigned message, uintptr_t field, intptr_t value) {
            SendMessageW(editorView, message, static_cast<WPARAM>(field),
                         static_cast<LPARAM>(value));
        });
    }
    if (!picture) {
        // A person uses the editor now: real message boxes and menus.
        platform::testing::ScriptedUi::instance().setLive(true);
        window.run();
        return 0;
    }
    window.settle();
    RedrawWindow(window.window(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    if (editorView)
        SendMessageW(editorView, WM_TIMER, timerMarchingFrame, 0);
    for (const auto& [path, target] : {std::pair{options.screenshot, window.window()},
                                       std::pair{options.viewPicture, editorView}}) {
        if (path.empty())
            continue;
        if (!target || !platform::win32::saveWindowPng(target, path)) {
            std::fprintf(stderr, "spoolex-host: cannot write %s\n", path.c_str());
            return 1;
        }
        RECT client;
        GetClientRect(target, &client);
        std::fprintf(out, "%s: %ldx%ld\n", path.c_str(), client.right, client.bottom);
    }
    return 0;
}

} // namespace host
