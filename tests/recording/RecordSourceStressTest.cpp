// Input machines come and go on the user-interface thread while a generator
// records on the audio thread: the generator must never read one that has
// gone (ThreadSanitizer and AddressSanitizer watch this).
#include <thread>

#include "generator/machine/InputRegistry.h"
#include "tests/core/GeneratorFixture.h"
#include "tests/support/HostAudioThread.h"

namespace {

class LooseInput final : public InputMachine::Fields {
public:
    void* destroy(unsigned flags) override {
        if (flags & 1)
            delete this;
        return this;
    }
};

using RecordSourceStress = GeneratorTest;

TEST_F(RecordSourceStress, UnregisteringWhileRenderingNeverReadsAGoneInput) {
    host::HostMachine* placed = placeGenerator();
    spoolex::mi& machine = generatorOf(placed);
    host.stateFlags = HostStateRecording;
    host::HostSequence* sequence = host.addSequence(*placed);
    host::HostPattern* pattern = host.createPattern(*placed, "Short", 16);

    HostAudioThread audio(*placed, 256, [&](int block) {
        if (block > 0 && block % 256 == 0) // a new pass now and then starts a recording
            placed->extension->onPatternPlay(pattern->handle(), sequence->handle(), 0);
    });
    for (int round = 0; round < 300; ++round) {
        auto* input = new LooseInput;
        input->blockFrames = 256;
        input->punchState = static_cast<uint8_t>(round & 1);
        spoolex::registerInput(input);
        machine.chooseRecordSource(input);
        machine.setArmed(true);
        std::this_thread::yield();
        spoolex::unregisterInput(input);
        input->destroy(1);
    }
    audio.stop();
    EXPECT_EQ(machine.recordSource(), nullptr);
}

} // namespace
