#include "generator/wavestore/FreshSamples.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace spoolex {

namespace {
// A hint only: where the system cannot do it, the pages are mapped as they
// are written, as always.
void mapForWriting(float* start, size_t count) {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    static const auto pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    // Only whole pages: a partial one may be shared with other data.
    const auto first = (reinterpret_cast<uintptr_t>(start) + pageSize - 1) & ~(pageSize - 1);
    const auto end = reinterpret_cast<uintptr_t>(start + count) & ~(pageSize - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, MADV_POPULATE_WRITE);
#else
    (void)start;
    (void)count;
#endif
}
} // namespace

float* appendFreshSamples(Samples& samples, size_t count) {
    const size_t at = samples.size();
    if (samples.capacity() - at >= count)
        mapForWriting(samples.data() + at, count);
    samples.resize(at + count);
    return samples.data() + at;
}

} // namespace spoolex
