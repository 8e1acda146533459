// The usage text, made from the command table so it always says what the
// parser accepts.
#pragma once

#include <string>
#include <vector>

#include "host/cli/CommandLine.h"

namespace host::cli {

// Every command: its synopsis and what it does.
std::string usageText(const std::vector<CommandSpec>& table);

// One command's synopsis and help.
std::string commandUsage(const CommandSpec& command);

} // namespace host::cli
