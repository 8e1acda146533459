#include "generator/machine/MachineDescription.h"

namespace spoolex {

namespace {

const CMachineParameter dummyParameter = {
    ParameterTypeByte, "Dummy", "Dummy", 0, 128, 255, 2, 64,
};

const CMachineAttribute crossfadeAttribute = {
    "Crossfade length in samples",
    1,
    1000,
    100,
};

const CMachineParameter* const parameters[] = {&dummyParameter};
const CMachineAttribute* const attributes[] = {&crossfadeAttribute};

const CMachineInfo description = {
    MachineTypeGenerator,
    65,
    machineFlagStereoOutput | machineFlagOwnPatternEditor | machineFlagPaintsPatternBoxes,
    0,
    0,
    1,
    0,
    parameters,
    1,
    attributes,
    machineName,
    "Spoolex",
    "Korvane",
    "/Record source\n/Arm\nChange wave directory...\nAbout...",
    nullptr,
};

} // namespace

const CMachineInfo& machineDescription() {
    return description;
}

} // namespace spoolex
