// A parameter text split into words as Windows programs split their command
// line, so a wave editor's parameters mean the same on every system.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Spaces and tabs separate words; double quotes group (and are removed);
// backslashes are literal except before a double quote, where each pair
// gives one backslash and an odd one makes the quote literal. Nothing is
// expanded: no variables, no wildcards, no home folder. False, with words
// untouched, for a text with an unclosed quote.
bool splitCommandLine(const std::string& text, std::vector<std::string>& words);

} // namespace platform
