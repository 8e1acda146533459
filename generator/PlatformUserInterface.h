#pragma once

#include "generator/core/UserInterface.h"

namespace spoolex {
// Makes the platform's message boxes and pickers the core's user interface.
void installPlatformUserInterface();
} // namespace spoolex
