// Input machines announce themselves to every generator of the process
// through the two exports of the generator plug-in.
#pragma once

#include "input/InputMachineLayout.h"

namespace spoolex {

void registerInput(InputMachine::Fields* input);
void unregisterInput(InputMachine::Fields* input);

} // namespace spoolex
