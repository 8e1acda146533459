// Recordings kept on disk while they were recorded, brought back into the
// song they were made on, as the generator offers them when a song loads.
#pragma once

#include <cstdio>
#include <string>

namespace host {

// Points the plug-ins' per-user folder for recordings at folder (before
// they load), so that the user's own folder is never touched.
void useRecordingsFolder(const std::string& folder);

// Loads the song. list: prints the recordings its generators offer and
// answers No, so nothing changes. Otherwise answers Yes, prints what was
// added and saves the song (to outPath when given). Returns the exit status.
int recoverCommand(const std::string& songPath, const std::string& outPath, bool list,
                   const std::string& gear, std::FILE* out);

} // namespace host
