#pragma once

#include <string>

namespace spoolex {

class Pattern;

// The pattern's report for the user: length, memory its takes use, and its
// active-take list. Call with the machine's lock held.
std::string patternInfoText(const Pattern& pattern);

} // namespace spoolex
