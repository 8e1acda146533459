#pragma once

#include "generator/machine/UserInterface.h"

namespace spoolex {
// Makes the platform's message boxes and pickers the core's user interface.
void installPlatformUserInterface();
} // namespace spoolex
