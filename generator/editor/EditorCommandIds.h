// Command identifiers of the editor's command table that other code sends:
// the host's menu, the stand-in host, keyboard bindings.
#pragma once

#include <cstdint>

namespace spoolex {

// "I&nfo...": the shown pattern's report in a message box.
constexpr uint16_t commandInfo = 32832;

} // namespace spoolex
