// Temporary files and other programs.
#pragma once

#include <string>

namespace platform {

// Creates a unique empty file in the user's temporary folder, its name the
// first three characters of prefix, a unique part and ".tmp". False when the
// folder has no room or cannot be found.
bool reserveTemporaryFile(const std::string& prefix, std::string& path);

// Creates the empty file path, only if nothing (not even a link) has that
// name yet, readable and writable by its owner only. False otherwise.
bool createPrivateFile(const std::string& path);

// Starts program with parameters and does not wait for it. Windows: the
// shell's default action (a document opens in its application). POSIX:
// parameters are split into words as Windows splits a command line
// (splitCommandLine), nothing expanded; a text that cannot be split starts
// nothing. False when nothing was started.
// A main program with a UI hook hears of every launch (UiHook.h).
bool launchProgram(const std::string& program, const std::string& parameters);

} // namespace platform
