// The picture of a pattern inside its box in the host's sequence view.
#pragma once

#include <cstdint>

namespace spoolex {

class mi;
class Pattern;

// User-interface thread, lock not held: builds pattern's overview for a box
// width pixels wide at scale ticks per row. Takes the lock only briefly.
void rebuildOverview(mi& machine, Pattern& pattern, int32_t width, float scale);

} // namespace spoolex
