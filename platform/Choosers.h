// Small modal choices: a pop-up menu at the mouse cursor and the
// export-to-wavetable dialog. Answered by the main program's UI hook when it
// has one (UiHook.h).
#pragma once

#include <string>
#include <vector>

#include "platform/Window.h"

namespace platform {

// The export-to-wavetable dialog with its two lists filled and preselected.
// True for OK with the chosen positions.
bool exportWavetableDialog(WindowHandle owner, const std::vector<std::string>& waves,
                           int preselectedWave, const std::vector<std::string>& formats,
                           const std::string& helpText, int& chosenWave, int& chosenFormat);

namespace native {
bool exportWavetableDialog(WindowHandle owner, const std::vector<std::string>& waves,
                           int preselectedWave, const std::vector<std::string>& formats,
                           const std::string& helpText, int& chosenWave, int& chosenFormat);
// The launched process, or 0; *process is released (Windows: closed) when
// nobody keeps it.
bool launchProgram(const std::string& program, const std::string& parameters, long long& process);
void releaseProcess(long long process);
} // namespace native

} // namespace platform
