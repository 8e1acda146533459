// Takes are large, fresh allocations that fill front to back. On Linux each
// first touch of one of their pages is a page fault of its own; asking the
// system to map a whole stretch at once, just before it is written, spares
// most of that cost while the stretch is still small enough to stay in the
// cache.
#pragma once

#include <cstddef>
#include <vector>

namespace spoolex {

// Appends count zero samples to samples, which must have room reserved for
// them (no reallocation), and returns where they start.
float* appendFreshSamples(std::vector<float>& samples, size_t count);

} // namespace spoolex
