#pragma once

namespace spoolex {

// Asks the user for the folder of this session's wave data until one with a
// file-system path is chosen (true) or, when allowed, the user cancels (false).
bool chooseWaveFolder(bool allowCancel);

} // namespace spoolex
