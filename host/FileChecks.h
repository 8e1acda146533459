// Files the user names on the command line, checked before any work starts
// so that a mistake costs nothing: every refusal says why, with the
// system's own reason where the system refused.
#pragma once

#include <string>
#include <vector>

namespace host {

// The system's reason for the last failed file operation ("No such file or
// directory").
std::string systemReason();

// False with "cannot read PATH: reason" when path is not a file that opens
// for reading (a folder, a missing file, one without permission).
bool checkReadable(const std::string& path, std::string& error);

// False with the reason when path must not be written: it is one of the
// inputs, holds a song (a song is never replaced by a picture or a WAV
// file), is a folder, or cannot be created. Leaves no file behind.
bool checkOutput(const std::string& path, const std::vector<std::string>& inputs,
                 std::string& error);

} // namespace host
