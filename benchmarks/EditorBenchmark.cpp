// The editor's drawing on the raster surface:
// - paintWarm: a 1920 x 1080 view with 16 one-minute takes, caches warm;
// - zoomChange/Z: the first paint of a one-hour take after a zoom change,
//   summary built, at zoom Z (a new scale, so every drawn column is new);
// - overviewRebuild: the pattern box picture of a one-minute take at one
//   row per tick; reports nanoseconds per take sample visited.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "benchmarks/BenchmarkSong.h"
#include "generator/editor/PatternEditor.h"
#include "generator/editor/PatternEditorParent.h"
#include "generator/editor/PlatformUserInterface.h"
#include "generator/machine/Machine.h"
#include "generator/machine/MachineDescription.h"
#include "generator/machine/PatternBox.h"
#include "host/Host.h"
#include "platform/posix/SurfaceCairo.h"
#include "platform/testing/Headless.h"

namespace {

constexpr int hostRate = 44100;
constexpr int samplesPerTick = 5250; // 126 beats per minute, 4 ticks per beat

struct EditorOn {
    // A pattern long enough for the takes, each take frames long.
    EditorOn(int takes, size_t frames, int width, int height) {
        installPatternEditor();
        placed = benchmarks::placeGenerator(host);
        machine = static_cast<spoolex::mi*>(placed->machine);
        const auto ticks = static_cast<int>(frames / samplesPerTick) + 1;
        hostPattern = host.createPattern(*placed, "P", ticks);
        pattern = machine->findPattern(hostPattern->handle());
        std::mt19937 random(7);
        for (int i = 0; i < takes; ++i)
            benchmarks::fillNoise(pattern->addTake(), frames, random);
        pattern->assignTake(0, ticks, pattern->takes[0].get());
        pattern->tidyActiveTakes();
        void* frame = host.editorWindow(*placed);
        placed->extension->showPattern(hostPattern->handle());
        view = editorViewOf(*machine);
        window = platform::headless::findByName(frame, "pated");
        view->rowHeight = static_cast<float>(height) / static_cast<float>(takes);
        platform::headless::resize(window, width, height);
        view->updateScrollBars();
    }

    host::Host host;
    host::HostMachine* placed = nullptr;
    spoolex::mi* machine = nullptr;
    host::HostPattern* hostPattern = nullptr;
    spoolex::Pattern* pattern = nullptr;
    PatternEditor* view = nullptr;
    platform::headless::Window* window = nullptr;
};

void paintWarm(benchmark::State& state) {
    EditorOn editor(16, 60 * hostRate, 1920, 1080);
    platform::SurfaceCairo picture(1920, 1080);
    platform::headless::paintOnto(editor.window, picture); // caches warm
    for (auto _ : state)
        platform::headless::paintOnto(editor.window, picture);
}
BENCHMARK(paintWarm)->Unit(benchmark::kMillisecond);

void zoomChange(benchmark::State& state) {
    EditorOn editor(1, size_t{3600} * hostRate, 1920, 1080);
    platform::SurfaceCairo picture(1920, 1080);
    platform::headless::paintOnto(editor.window, picture); // summary built
    const double zoom = static_cast<double>(state.range(0));
    double step = 0.0;
    for (auto _ : state) {
        // A slightly different zoom each time: the columns are all new.
        editor.view->zoom = zoom * (1.0 + (step += 1e-6));
        editor.view->setScrollX(static_cast<int32_t>(1920 * editor.view->zoom / 2));
        platform::headless::paintOnto(editor.window, picture);
    }
}
BENCHMARK(zoomChange)->Arg(1)->Arg(16)->Arg(1024)->Arg(1 << 20)->Unit(benchmark::kMillisecond);

void overviewRebuild(benchmark::State& state) {
    EditorOn editor(1, 60 * hostRate, 200, 100);
    for (auto _ : state)
        spoolex::rebuildOverview(*editor.machine, *editor.pattern, 160, 1.0f);
    const double samples = 2.0 * 60 * hostRate;
    state.counters["ns_per_sample"] =
        benchmark::Counter(samples * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(overviewRebuild)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
