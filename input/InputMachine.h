// The input machine: keeps the last block of its input, a latency and a
// punch state, and offers itself to every generator as a record source.
#pragma once

#include "input/InputMachineLayout.h"

namespace InputMachine {

// Parameter indices, in the order of the description.
enum Parameter {
    ParameterLatency = 0,
    ParameterAutoPunch = 1,
    ParameterThreshold = 2,
    ParameterRelease = 3,
    ParameterPunchMidiNote = 4,
    ParameterPunch = 5,
    ParameterCount = 6,
};

// Bit of processInput's mode that says input is present.
constexpr int modeInputPresent = 1;

class mi final : public Fields {
public:
    mi();

    void* destroy(unsigned flags) override;
    void initFromSong(CMachineDataInput* data) override;
    void onTick() override;
    // Slot 3: one block of interleaved stereo input; never produces output.
    bool renderMono(float* samples, int frames, int mode) override;
    void runCommand(int code) override;
    const char* describeValue(int param, int value) override;
    CMachineInterfaceEx* extensionInterface() override { return &ex; }

private:
    ~mi();
    void bindToGenerator();
    void unbindFromGenerator();
    void setPunch(bool in);
    void countRelease(int frames);
};

const CMachineInfo& machineDescription();

} // namespace InputMachine
