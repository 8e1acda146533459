// The view paints and the pattern box rebuilds on the user-interface thread
// while the audio thread renders and records into the same pattern: every
// read of takes and lists must be ordered against the writes
// (ThreadSanitizer watches this), and the audio thread only asks for
// redraws.
#include <atomic>
#include <cmath>
#include <thread>

#include "tests/editor/EditorViewFixture.h"

namespace {

using EditorStress = EditorViewTest;

TEST_F(EditorStress, PaintingAndRebuildingWhileRecordingIsRaceFree) {
    spoolex::Pattern& pattern = show(16, 400, 600);
    constantTake(pattern, 16 * samplesPerTick, 1000.0f, -1000.0f);
    InputMachine::Fields* input = registerInput("Mic");
    input->blockFrames = 256;
    input->punchState = 1;
    for (int i = 0; i < 512; ++i)
        input->blockBuffer[i] = 8000.0f * std::sin(0.05f * static_cast<float>(i));
    machine().chooseRecordSource(input);
    machine().setArmed(true);
    host.stateFlags = HostStateRecording;

    std::atomic<bool> done{false};
    std::atomic<int> passes{0};
    std::thread audio([&] {
        float out[512];
        int blocks = 0;
        while (!done.load()) {
            placed->machine->renderStereo(nullptr, out, 256, 0);
            // A new pass now and then: it ends the take being recorded and
            // starts another one. A bounded number of them, so that a slow
            // run (ThreadSanitizer, a busy machine) does not paint ever more
            // takes and fall further behind.
            if (++blocks % 64 == 0 && passes.load() < 16) {
                placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(), 0);
                passes.fetch_add(1);
            }
        }
    });
    for (int round = 0; round < 200 || passes.load() < 8; ++round) {
        view->zoom = 1.0 + (round % 5);
        view->currentTake = nullptr;
        auto surface = paint();
        platform::testing::RecordingSurface box({0, 0, 200, 200});
        PatternBoxRequest request{
            hostPattern->handle(), &box, 0, 0, 100, 100, 0.5f + static_cast<float>(round % 3)};
        placed->extension->paintPatternBox(&request);
        platform::headless::fireTimer(viewWindow, 3); // the recording refresh
        platform::headless::fireTimer(viewWindow, 2);
    }
    done.store(true);
    audio.join();
    auto surface = paint();
    EXPECT_FALSE(surface.of(Op::Fill, text).empty());
    EXPECT_GT(pattern.takes.size(), 1u);
}

} // namespace
