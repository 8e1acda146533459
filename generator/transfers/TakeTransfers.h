// The editor's commands that move audio between takes and the outside world.
// Each takes what the editor shows (the machine, the shown pattern, the
// current take, the selection in ticks) and the editor window that owns its
// boxes; each runs on the user-interface thread and reports what happened.
#pragma once

#include <functional>
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

// Asked after every modal loop a transfer runs (a chooser, the export
// dialog, the wait box): whether the machine, the pattern and the take it was
// given are all still there. The loop runs the host's messages, and the host
// may delete any of them meanwhile; then the transfer stops without touching
// them (and reports NothingToDo).
using StillThere = std::function<bool()>;

// "From File..." (32785): a new last take from a file the user picks; not
// made active.
TransferResult importFromFile(mi& machine, Pattern* pattern, void* owner,
                              const StillThere& stillThere);

// "From Wavetable" (32786): a new last take from the wave selected in the
// host. The caller updates the editor's scroll bars afterwards either way.
TransferResult importFromWavetable(mi& machine, Pattern* pattern, void* owner);

// "To Wavetable..." (32826): the selection [selStart, selEnd) of take into the
// wave slot and format the user picks.
TransferResult exportSelectionToWavetable(mi& machine, Pattern* pattern, Take* take,
                                          double selStart, double selEnd, void* owner,
                                          const StillThere& stillThere);

// "Send To External Editor..." (32829): take through the wave editor the user
// picks from the settings' list, and back.
TransferResult sendToExternalEditor(mi& machine, Pattern* pattern, Take* take, void* owner,
                                    const StillThere& stillThere);

// One round trip through entry's program. False only when the temporary
// file could not be written; a program that does not start is reported
// here, and an edited file that cannot be read back is kept and named. A take
// gone by the time the user answers the wait box is not written to: the edit
// is dropped as on Cancel.
bool runExternalEditor(const WaveEditorEntry& entry, Take& take, void* owner,
                       const StillThere& stillThere);

// arguments with every "%1" replaced by quotedPath.
std::string substitutePath(const std::string& arguments, const std::string& quotedPath);

} // namespace spoolex
