// The view paints and the pattern box rebuilds on the user-interface thread
// while the audio thread renders and records into the same pattern: every
// read of takes and lists must be ordered against the writes
// (ThreadSanitizer watches this), and the audio thread only asks for
// redraws.
#include <atomic>
#include <chrono>
#include <cmath>
#include <thread>

#include "generator/editor/AudioClipboard.h"
#include "generator/editor/EditorCommandIds.h"
#include "tests/editor/EditorViewFixture.h"
#include "tests/support/HostAudioThread.h"

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

    std::atomic<int> passes{0};
    HostAudioThread audio(*placed, 256, [&](int block) {
        // A new pass now and then: it ends the take being recorded and
        // starts another one. A bounded number of them, so that a slow run
        // (ThreadSanitizer, a busy machine) does not paint ever more takes
        // and fall further behind.
        if (block > 0 && block % 64 == 0 && passes.load() < 16) {
            placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(), 0);
            passes.fetch_add(1);
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
    audio.stop();
    auto surface = paint();
    EXPECT_FALSE(surface.of(Op::Fill, text).empty());
    EXPECT_GT(pattern.takes.size(), 1u);
}

// The host's two threads as they really are: the audio thread ticks, starts
// the pattern (slot 15) every few blocks, each start a new recording, and
// renders; meanwhile the user clicks rows, fits, zooms and resizes rows,
// pastes, deletes takes, and the host closes the editor's window and asks
// for a new one.
TEST_F(EditorStress, TheUserAndTheHostsWindowRaceWithNothingTheAudioThreadDoes) {
    namespace cmd = editorcommand;
    spoolex::Pattern& pattern = show(16, 400, 600);
    constantTake(pattern, 16 * samplesPerTick, 1000.0f, -1000.0f);
    InputMachine::Fields* input = registerInput("Mic");
    input->blockFrames = 256;
    input->punchState = 1;
    for (int i = 0; i < 512; ++i)
        input->blockBuffer[i] = 8000.0f * std::sin(0.05f * static_cast<float>(i));
    machine().chooseRecordSource(input);
    machine().toggleArmed();
    host.stateFlags = HostStateRecording;
    audioClipboard().assign(2 * 1000, 500.0f);

    std::atomic<bool> done{false};
    std::atomic<bool> finite{true};
    std::atomic<int> starts{0};
    std::thread audio([&] {
        float out[512];
        for (int block = 0; !done.load(); ++block) {
            if (block % 4 == 0)
                placed->machine->onTick();
            if (block % 6 == 0) {
                placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(), 0);
                starts.fetch_add(1);
            }
            placed->machine->renderStereo(nullptr, out, 256, 0);
            for (float v : out)
                if (!std::isfinite(v))
                    finite = false;
            // A host renders at the pace of its device, far slower than
            // this; without a pause the lock is rarely free for the user.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });
    auto click = [&](int x, int y) {
        const intptr_t at = platform::mousePosition(x, y);
        platform::sendMessage(viewWindow, platform::messageLeftButtonDown, 0, at);
        platform::sendMessage(viewWindow, platform::messageLeftButtonUp, 0, at);
    };
    auto command = [&](uint16_t id) {
        platform::sendMessage(frame, platform::messageCommand, id, 0);
    };
    int reopened = 0;
    for (int round = 0; round < 160 || starts.load() < 40; ++round) {
        click(50 + round % 300, static_cast<int>(view->rowHeight) * (round % 4) + 5);
        switch (round % 6) {
        case 0:
            command(cmd::zoomToFitWave);
            break;
        case 1:
            command(cmd::rowHeightUp);
            break;
        case 2:
            command(cmd::rowHeightDown);
            break;
        case 3:
            view->selStart = 2.0;
            view->selEnd = 2.0;
            command(cmd::paste);
            command(cmd::zoomSelection);
            break;
        case 4:
        case 5:
            // Keeps the rows few: the recordings add one each start.
            platform::testing::ScriptedUi::instance().answerNextMessage(
                platform::MessageAnswer::Yes);
            command(cmd::deleteThis);
            break;
        }
        platform::headless::fireTimer(viewWindow, 3);
        platform::headless::fireTimer(viewWindow, 2);
        paint();
        if (round % 20 == 19) {
            host.closeEditorWindow(*placed);
            frame = host.editorWindow(*placed);
            ASSERT_NE(frame, nullptr);
            view = editorViewOf(machine());
            viewWindow = platform::headless::findByName(frame, "pated");
            ASSERT_NE(viewWindow, nullptr);
            platform::headless::resize(viewWindow, 400, 600);
            placed->extension->showPattern(hostPattern->handle());
            ++reopened;
        }
    }
    done.store(true);
    audio.join();
    platform::testing::ScriptedUi::instance().clear();
    EXPECT_TRUE(finite.load());
    EXPECT_GE(reopened, 8);
    // Every active entry names a take of the pattern.
    for (const spoolex::ActiveTakeEntry& entry : pattern.activeTakes) {
        if (entry.take) {
            EXPECT_GE(pattern.takeIndex(*entry.take), 0);
        }
    }
    EXPECT_FALSE(paint().of(Op::Fill, text).empty());
}

} // namespace
