// The editor's paint on Windows, through the surface the plug-in draws with, timed
// with a plain clock (Google Benchmark is not built for Windows here); run it
// under Wine with wine-run.sh. Prints milliseconds per operation, the median
// of several rounds:
// - paintWarm: the drawing of a 1920 x 1080 view with 16 one-minute takes,
//   caches warm, onto a kept 32-bit memory bitmap, as a paint message
//   draws it (the copy to the screen not included);
// - windowPaint: a whole paint message of the same view in its window, as
//   large as the screen lets it be, copy to the screen included;
// - marchingFrameTick: one tick of the animated frame's timer.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "benchmarks/BenchmarkSong.h"
#include "generator/editor/PatternEditor.h"
#include "generator/editor/PatternEditorParent.h"
#include "host/win32/HostWindow.h"
#include "platform/win32/BackBuffer.h"
#include "platform/win32/GdiPlusSession.h"
#include "platform/win32/GdiPlusSurface.h"

namespace {

constexpr int hostRate = 44100;
constexpr int samplesPerTick = 5250;

// Milliseconds per call of work, the median of rounds of count calls.
double timed(int rounds, int count, const std::function<void()>& work) {
    std::vector<double> perCall;
    for (int round = 0; round < rounds; ++round) {
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i)
            work();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        perCall.push_back(took.count() / count);
    }
    std::sort(perCall.begin(), perCall.end());
    return perCall[perCall.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    // Rounds of how many paints: fewer on a slow machine.
    const int count = argc > 1 ? std::max(std::atoi(argv[1]), 1) : 10;
    platform::win32::GdiPlusSession gdiPlus;
    installPatternEditor();
    host::Host host;
    host::HostMachine* placed = benchmarks::placeGenerator(host);
    auto* machine = static_cast<spoolex::mi*>(placed->machine);
    const size_t frames = size_t{60} * hostRate;
    const int ticks = static_cast<int>(frames / samplesPerTick) + 1;
    host::HostPattern* hostPattern = host.createPattern(*placed, "P", ticks);
    spoolex::Pattern* pattern = machine->findPattern(hostPattern->handle());
    std::mt19937 random(7);
    for (int i = 0; i < 16; ++i)
        benchmarks::fillNoise(pattern->addTake(), frames, random);
    pattern->assignTake(0, ticks, pattern->takes[0].get());
    pattern->tidyActiveTakes();

    constexpr int width = 1920, height = 1080;
    host::HostWindow window;
    std::string error;
    if (!window.open(host, *placed, hostPattern, width, height, error)) {
        std::fprintf(stderr, "windows_editor_paint: %s\n", error.c_str());
        return 1;
    }
    HWND view = FindWindowExA(window.editor(), nullptr, nullptr, "pated");
    PatternEditor* editor = editorViewOf(*machine);
    if (!view || !editor) {
        std::fprintf(stderr, "windows_editor_paint: no editor view\n");
        return 1;
    }
    editor->rowHeight = static_cast<float>(height) / 16.0f;
    editor->currentTake = pattern->takes[3].get();
    editor->selStart = 10.0;
    editor->selEnd = 200.0;
    editor->updateScrollBars();
    window.settle();

    HDC screen = GetDC(view);
    platform::win32::BackBuffer buffer;
    HDC memory = buffer.prepare(screen, width, height);
    const platform::PixelRect all{0, 0, width, height};
    auto drawOnce = [&] {
        platform::win32::GdiPlusSurface surface(memory, buffer.pixels(), all);
        editor->paint(surface, width, height);
    };
    drawOnce(); // caches warm
    std::fprintf(stderr, "set up, caches warm\n");
    const double warm = timed(5, count, drawOnce);
    ReleaseDC(view, screen);
    std::printf("paintWarm %dx%d, 16 takes: %.3f ms\n", width, height, warm);
    std::fflush(stdout);

    RECT client;
    GetClientRect(view, &client);
    auto paintMessage = [&] {
        RedrawWindow(view, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    };
    paintMessage();
    const double whole = timed(5, count, paintMessage);
    std::printf("windowPaint %ldx%ld: %.3f ms\n", client.right, client.bottom, whole);
    std::fflush(stdout);
    const double tick = timed(5, 10 * count, [&] { SendMessageW(view, WM_TIMER, 2, 0); });
    std::printf("marchingFrameTick: %.4f ms\n", tick);
    return 0;
}
