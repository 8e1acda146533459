// Every command spoolex-host knows: its operands, the options it takes, its
// help, and how it runs. A new command is one more entry.
#pragma once

#include <vector>

#include "host/cli/CommandLine.h"

namespace host::cli {

const std::vector<CommandSpec>& commandTable();

} // namespace host::cli
