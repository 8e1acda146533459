// The editor's commands that move audio between takes and the outside world.
// Each takes what the editor shows (the machine, the shown pattern, the
// current take, the selection in ticks) and the editor window that owns its
// boxes; each runs on the user-interface thread and reports what happened.
#pragma once

#include <string>

#include "generator/settings/WaveEditorEntry.h"

namespace spoolex {

class mi;
class Pattern;
struct Take;

enum class TransferResult {
    NothingToDo, // no pattern or take, empty selection, or the user cancelled
    Done,        // the pattern (or the host's wavetable) changed
    Failed       // the user was told why
};

// "From File..." (32785): a new last take from a file the user picks; not
// made active.
TransferResult importFromFile(mi& machine, Pattern* pattern, void* owner);

// "From Wavetable" (32786): a new last take from the wave selected in the
// host. The caller updates the editor's scroll bars afterwards either way.
TransferResult importFromWavetable(mi& machine, Pattern* pattern, void* owner);

// "To Wavetable..." (32826): the selection [selStart, selEnd) of take into the
// wave slot and format the user picks.
TransferResult exportSelectionToWavetable(mi& machine, Pattern* pattern, Take* take,
                                          double selStart, double selEnd, void* owner);

// "Send To External Editor..." (32829): take through the wave editor the user
// picks from the settings' list, and back.
TransferResult sendToExternalEditor(mi& machine, Pattern* pattern, Take* take, void* owner);

// One round trip through entry's program. False only when the temporary
// file could not be written.
bool runExternalEditor(const WaveEditorEntry& entry, Take& take, void* owner);

// arguments with every "%1" replaced by quotedPath.
std::string substitutePath(const std::string& arguments, const std::string& quotedPath);

} // namespace spoolex
