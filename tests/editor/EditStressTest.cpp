// The user edits while the audio thread renders and records the same
// pattern: every change of samples, lists and takes must be serialised with
// the audio block (run under ThreadSanitizer with the concurrency label).
#include <thread>

#include "generator/editor/EditorCommandIds.h"
#include "tests/editor/EditorFixture.h"
#include "tests/support/HostAudioThread.h"

namespace {

namespace cmd = editorcommand;

class EditStress : public EditorTest {};

TEST_F(EditStress, EditsWhileTheAudioThreadRendersAndRecords) {
    InputMachine::Fields* input = registerInput("Mic");
    machine().chooseRecordSource(input);
    machine().setArmed(true);
    host.stateFlags = HostStateRecording;
    input->blockFrames = 64;
    input->punchState = 1;
    for (int f = 0; f < 64; ++f)
        input->blockBuffer[2 * f] = input->blockBuffer[2 * f + 1] = 100.0f * static_cast<float>(f);
    for (int i = 0; i < 3; ++i)
        addTake(1600);
    host::HostSequence* sequence = host.addSequence(*placed);
    placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(), 0);

    HostAudioThread audio(*placed, 64, [&](int block) {
        // The song loops now and then: slot 15, on this thread as the host
        // calls it, starts a new pass that records a new take.
        if (block % 200 == 199)
            placed->extension->onPatternPlay(hostPattern->handle(), sequence->handle(), 0);
    });
    audio.awaitFirstBlock();
    for (int round = 0; round < 300; ++round) {
        const int rows = std::min<int>(static_cast<int>(view().takeCount()), 3);
        if (rows == 0) {
            addTake(800);
            continue;
        }
        const int row = round % rows;
        drag(100 * (round % 12), 100 * (round % 12) + 250, rowY(row));
        switch (round % 7) {
        case 0:
            command(cmd::copy);
            break;
        case 1:
            command(cmd::paste);
            break;
        case 2:
            command(cmd::cut);
            break;
        case 3:
            command(cmd::setActive);
            break;
        case 4:
            command(cmd::clearActive);
            break;
        case 5:
            if (rows > 1) { // a row moved down one place
                press(10, rowY(0), platform::mouseShift);
                move(10, rowY(1));
                release(10, rowY(1));
            }
            break;
        case 6:
            if (round % 3 == 0)
                command(cmd::deleteThis); // the scripted user answers Yes
            else
                command(cmd::deleteSelection);
            break;
        }
        if (round % 50 == 49)
            std::this_thread::yield();
    }
    audio.stop();
    EXPECT_GT(audio.blocks(), 0);

    auto hold = machine().lockAudio();
    for (const spoolex::ActiveTakeEntry& entry : pattern().activeTakes) {
        if (entry.take) {
            EXPECT_GE(pattern().takeIndex(*entry.take), 0);
        }
    }
}

} // namespace
