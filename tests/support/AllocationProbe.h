// Watches the program's allocations by replacing the global allocation
// functions: linking this file in is enough. For programs that must see
// what the code under test allocates, or make it run out of memory.
#pragma once

#include <cstddef>

namespace testsupport {

// Allocations made on this thread while set are counted in
// allocationsCounted, and what it frees in freesCounted.
extern thread_local bool countAllocations;
extern size_t allocationsCounted;
extern size_t freesCounted;
// Any single allocation larger than this fails with std::bad_alloc.
extern size_t largestAllocation;
constexpr size_t anyAllocation = ~size_t{0};

} // namespace testsupport
