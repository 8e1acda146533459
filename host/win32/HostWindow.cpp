#include "host/win32/HostWindow.h"

#include <algorithm>
#include <cmath>

#include "host/Host.h"
#include "hostsdk/PatternBox.h"

namespace host {

namespace {

constexpr int sequenceViewWidth = 150;
constexpr int margin = 4;
constexpr int columnWidth = 100;
constexpr COLORREF boxColour = RGB(0xF4, 0xF1, 0xE8);

const wchar_t* registeredClass(const wchar_t* name, WNDPROC procedure) {
    WNDCLASSW windowClass{};
    if (!GetClassInfoW(GetModuleHandleW(nullptr), name, &windowClass)) {
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
        windowClass.lpszClassName = name;
        RegisterClassW(&windowClass);
    }
    return name;
}

HostWindow* windowOf(HWND window) {
    return reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

void remember(HWND window, LPARAM createParameters) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(createParameters);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

} // namespace

HostWindow::~HostWindow() {
    if (topLevel)
        DestroyWindow(topLevel);
}

LRESULT CALLBACK HostWindow::topLevelProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE)
        remember(window, lParam);
    HostWindow* self = windowOf(window);
    if (self) {
        switch (message) {
        case WM_SIZE:
            self->layout();
            return 0;
        case WM_DESTROY:
            // The editor's frame goes with the window and tells its machine.
            if (self->machine)
                self->machine->editorWindow = nullptr;
            if (self->running)
                PostQuitMessage(0);
            self->topLevel = nullptr;
            break;
        default:
            break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK HostWindow::sequenceProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_NCCREATE)
        remember(window, lParam);
    HostWindow* self = windowOf(window);
    if (self && message == WM_PAINT) {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        self->paintSequences(dc, client);
        EndPaint(window, &paint);
        return 0;
    }
    if (message == WM_ERASEBKGND)
        return 1;
    return DefWindowProcW(window, message, wParam, lParam);
}

bool HostWindow::open(Host& owner, HostMachine& editorMachine, HostPattern* pattern, int width,
                      int height, std::string& error) {
    host = &owner;
    machine = &editorMachine;
    RECT outer{0, 0, width, height};
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    AdjustWindowRect(&outer, style, FALSE);
    topLevel = CreateWindowExW(0, registeredClass(L"SpoolexHostWindow", topLevelProcedure),
                               L"spoolex-host", style, 0, 0, outer.right - outer.left,
                               outer.bottom - outer.top, nullptr, nullptr,
                               GetModuleHandleW(nullptr), this);
    if (topLevel)
        sequences = CreateWindowExW(0, registeredClass(L"SpoolexSequenceView", sequenceProcedure),
                                    L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, topLevel, nullptr,
                                    GetModuleHandleW(nullptr), this);
    if (!topLevel || !sequences) {
        error = "the system refused a window";
        return false;
    }
    std::wstring title =
        L"spoolex-host: " + std::wstring(machine->name.begin(), machine->name.end());
    SetWindowTextW(topLevel, title.c_str());
    editorFrame = static_cast<HWND>(host->editorWindow(*machine, topLevel));
    if (!editorFrame) {
        error = machine->name + " has no pattern editor of its own";
        return false;
    }
    machine->extension->showPattern(pattern ? pattern->handle() : nullptr);
    layout();
    ShowWindow(topLevel, SW_SHOWNORMAL);
    UpdateWindow(topLevel);
    return true;
}

void HostWindow::layout() {
    if (!topLevel)
        return;
    RECT client;
    GetClientRect(topLevel, &client);
    int split = std::min<int>(sequenceViewWidth, client.right / 3);
    if (sequences)
        MoveWindow(sequences, 0, 0, split, client.bottom, TRUE);
    if (editorFrame)
        MoveWindow(editorFrame, split, 0, client.right - split, client.bottom, TRUE);
}

// Time runs downwards; each sequence is a column of pattern boxes. The host
// paints a box's background and frame, the pattern's machine the inside.
void HostWindow::paintSequences(HDC dc, const RECT& client) {
    HBRUSH background =
        CreateSolidBrush(static_cast<COLORREF>(host->themeColours["SE BG"]) & 0xFFFFFF);
    FillRect(dc, &client, background);
    DeleteObject(background);
    const auto& columns = host->allSequences();
    if (columns.empty())
        return;
    const float rows = static_cast<float>(std::max<LONG>(client.bottom - 2 * margin, 1));
    const float scale = static_cast<float>(std::max<uint32_t>(host->songEndTick(), 1)) / rows;
    const int width = std::min(
        columnWidth,
        static_cast<int>(client.right - margin) / static_cast<int>(columns.size()) - margin);
    if (width < 3)
        return;
    HBRUSH box = CreateSolidBrush(boxColour);
    HBRUSH edge = CreateSolidBrush(static_cast<COLORREF>(host->themeColours["SE Text"]) & 0xFFFFFF);
    int left = margin;
    for (const auto& sequence : columns) {
        for (const auto& [tick, pattern] : sequence->starts) {
            if (!pattern)
                continue;
            int top = margin + static_cast<int>(static_cast<float>(tick) / scale);
            int height = std::max(
                3, static_cast<int>(std::ceil(static_cast<float>(pattern->length) / scale)));
            RECT outline{left, top, left + width, top + height};
            FillRect(dc, &outline, box);
            FrameRect(dc, &outline, edge);
            CMachineInterfaceEx* extension = pattern->machine.extension;
            if (extension) {
                PatternBoxRequest request{pattern->handle(), dc,         left + 1, top + 1,
                                          width - 2,         height - 2, scale};
                extension->paintPatternBox(&request);
            }
        }
        left += width + margin;
    }
    DeleteObject(edge);
    DeleteObject(box);
}

void HostWindow::settle() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (topLevel)
        RedrawWindow(topLevel, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void HostWindow::run() {
    running = true;
    MSG message;
    while (topLevel && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    running = false;
}

} // namespace host
