#include "tests/support/AllocationProbe.h"

#include <cstdlib>
#include <new>

namespace testsupport {

thread_local bool countAllocations = false;
size_t allocationsCounted = 0;
size_t freesCounted = 0;
size_t largestAllocation = anyAllocation;

} // namespace testsupport

// GCC takes the frees below for mismatched ones once these are replaced.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(size_t size) {
    if (testsupport::countAllocations)
        ++testsupport::allocationsCounted;
    if (size <= testsupport::largestAllocation)
        if (void* p = std::malloc(size ? size : 1))
            return p;
    throw std::bad_alloc();
}

void operator delete(void* p) noexcept {
    if (p && testsupport::countAllocations)
        ++testsupport::freesCounted;
    std::free(p);
}

void operator delete(void* p, size_t) noexcept {
    operator delete(p);
}

// The library's temporary buffers (stable_partition, stable_sort) come from
// the nothrow form and go back through the plain delete above: both must
// come from the same heap.
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void operator delete(void* p, const std::nothrow_t&) noexcept {
    operator delete(p);
}
