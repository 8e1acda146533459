// The export-to-wavetable dialog on the module's template 1008: the Wave
// list filled by the caller, the Format list with the template's own items
// ("32-bit float", "16-bit int"), and "?" explaining the formats.
#pragma once

#include <string>
#include <vector>

#include "platform/Window.h"

namespace platform::win32 {

// Modal over owner. Preselects wave preselectedWave and the first format;
// "?" shows helpText in a box owned by the dialog, OK button only. True for
// OK, with the chosen list positions.
bool runExportWavetableDialog(WindowHandle owner, const std::vector<std::string>& waves,
                              int preselectedWave, const std::string& helpText, int& chosenWave,
                              int& chosenFormat);

} // namespace platform::win32
