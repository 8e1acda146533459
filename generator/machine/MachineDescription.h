// What the generator tells the host about itself.
#pragma once

#include "hostsdk/MachineInfo.h"

namespace spoolex {

constexpr const char* machineName = "Korvane Spoolex";
constexpr const char* inputMachineName = "Korvane Spoolex Input";

// Flag bits of the description.
constexpr int machineFlagStereoOutput = 0x1;
constexpr int machineFlagOwnPatternEditor = 0x200;
constexpr int machineFlagPaintsPatternBoxes = 0x1000;

// Main menu indices and sub-menu numbers of the commands string.
constexpr int subMenuMain = 0;
constexpr int subMenuRecordSource = 1;
constexpr int subMenuArm = 2;
constexpr int commandChangeWaveDirectory = 2;
constexpr int commandAbout = 3;

const CMachineInfo& machineDescription();

} // namespace spoolex
