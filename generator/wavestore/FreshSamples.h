// Takes are large, fresh allocations that fill front to back. On Linux each
// first touch of one of their pages is a page fault of its own; asking the
// system to map a whole stretch at once, just before it is written, spares
// most of that cost while the stretch is still small enough to stay in the
// cache.
#pragma once

#include <cstddef>
#include <vector>

#include "generator/model/SampleBuffer.h"

namespace spoolex {

// Appends count zero samples to samples and returns where they start. Only
// room already reserved is mapped ahead: without it the vector reallocates,
// and the hint would be spent on memory about to be given back.
float* appendFreshSamples(Samples& samples, size_t count);

} // namespace spoolex
