#pragma once

namespace spoolex {
class mi;

// Reads the settings file beside the plug-in into the machine and the
// process-wide settings.
void loadSettings(mi& machine);
} // namespace spoolex
