// The generator's song data: what it writes into the host's song and reads
// back when the song loads.
#pragma once

#include "hostsdk/DataStreams.h"

namespace spoolex {

class mi;

// Newest layout written; older ones still load.
constexpr int songDataVersion = 4;

void saveSongData(mi& machine, CMachineDataOutput& out);

// Continues the machine's initialisation: the patterns read wait, by name,
// for the host to announce them.
void loadSongData(mi& machine, CMachineDataInput& in);

} // namespace spoolex
