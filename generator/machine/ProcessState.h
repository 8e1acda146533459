// State shared by every generator machine in the process. Written on the
// host's user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "input/InputMachineLayout.h"

namespace spoolex {

class mi;

// Live generator machines, in creation order.
std::vector<mi*>& generatorInstances();

// Registered input machines, in registration order.
std::vector<InputMachine::Fields*>& inputRegistry();

// The folder the user chose for this session's wave data; never cleared.
std::string& projectFolder();

// The folder the settings file offers first in the folder picker.
std::string& defaultProjectFolder();

// Cleared by the settings file's noask; nothing consults it yet.
bool& askForProjectFolder();

// Whether the editor keeps redrawing the pattern being recorded. Once the
// settings file clears it, it stays cleared for the process.
bool& redrawWhileRecording();

} // namespace spoolex
