#include "input/InputMachine.h"

namespace InputMachine {

namespace {

const CMachineParameter latency = {
    ParameterTypeWord, "Latency comp", "Input latency in samples", 0, 65534, 65535, 2, 0};
const CMachineParameter autoPunch = {
    ParameterTypeSwitch, "Auto punch", "Auto punch", 0, 1, 255, 2, 0};
const CMachineParameter threshold = {
    ParameterTypeWord, "  Threshold", "Auto punch threshold", 1, 4096, 65535, 2, 128};
const CMachineParameter release = {
    ParameterTypeWord, "  Release", "Auto punch release", 0, 2000, 65535, 2, 100};
const CMachineParameter punchMidiNote = {
    ParameterTypeByte, "Punch MIDI nn", "Punch MIDI note", 0, 128, 255, 2, 128};
const CMachineParameter punch = {ParameterTypeSwitch, "Punch", "Punch", 0, 1, 255, 2, 1};

const CMachineParameter* const parameters[] = {&latency, &autoPunch,     &threshold,
                                               &release, &punchMidiNote, &punch};

const CMachineInfo description = {
    MachineTypeEffect,
    65,
    0x20 | 0x2000, // no audio output, stereo input
    0,
    0,
    ParameterCount,
    0,
    parameters,
    0,
    nullptr,
    "Korvane Spoolex Input",
    "SX Rec Src",
    "Korvane",
    "About...",
    nullptr,
};

} // namespace

const CMachineInfo& machineDescription() {
    return description;
}

} // namespace InputMachine
