// The names a <key> element may give in its vkey attribute: the Windows SDK's
// virtual-key constant names, with their values.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace spoolex {

// Built on first use and kept for the life of the process. Case-sensitive.
const std::map<std::string, int32_t>& virtualKeyNames();

// The code of a virtual-key name; false when the name is not known.
bool findVirtualKey(const std::string& name, int32_t& code);

} // namespace spoolex
