// The hand-written settings file beside the generator plug-in: wave editors,
// the project folder offered first, redraw while recording, key bindings.
#pragma once

#include <string>

namespace spoolex {
class mi;

// Reads the settings file into the machine and the process-wide settings.
// Reports every problem itself and never fails the machine.
void loadSettings(mi& machine);

// Where loadSettings reads: "Korvane Spoolex settings.xml" in the folder of
// the module holding the generator's code, unless another file was set.
std::string settingsFilePath();
// Reads path instead; an empty path restores the place beside the module.
void setSettingsFilePath(const std::string& path);
} // namespace spoolex
