#include "generator/model/SampleBuffer.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace spoolex {

// Under ThreadSanitizer the tool's shadow for many fresh mappings could not
// be had (ENOMEM): there the pages come zero from calloc, which keeps the
// meaning and lets the concurrency tests run.
#if defined(__SANITIZE_THREAD__)
void* mapZeroPages(size_t bytes) noexcept {
    return std::calloc(1, std::max<size_t>(bytes, 1));
}

void unmapPages(void* start, size_t) noexcept {
    std::free(start);
}
#else
void* mapZeroPages(size_t bytes) noexcept {
    bytes = std::max<size_t>(bytes, 1);
#if defined(_WIN32)
    return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
#else
    void* start = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return start == MAP_FAILED ? nullptr : start;
#endif
}

void unmapPages(void* start, size_t bytes) noexcept {
    if (!start)
        return;
#if defined(_WIN32)
    (void)bytes;
    VirtualFree(start, 0, MEM_RELEASE);
#else
    munmap(start, std::max<size_t>(bytes, 1));
#endif
}
#endif

namespace {

// Counts out FreshZero values, so that a vector built from a range of them
// sizes itself without writing a sample.
class FreshZeros {
public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = FreshZero;
    using difference_type = std::ptrdiff_t;
    using pointer = const FreshZero*;
    using reference = FreshZero;

    explicit FreshZeros(size_t at) : at(at) {}
    FreshZero operator*() const { return {}; }
    FreshZeros& operator++() {
        ++at;
        return *this;
    }
    FreshZeros operator++(int) {
        FreshZeros before = *this;
        ++at;
        return before;
    }
    difference_type operator-(const FreshZeros& other) const {
        return static_cast<difference_type>(at - other.at);
    }
    bool operator==(const FreshZeros& other) const { return at == other.at; }
    bool operator!=(const FreshZeros& other) const { return at != other.at; }

private:
    size_t at;
};

} // namespace

Samples silentSamples(size_t count) {
    return Samples(FreshZeros(0), FreshZeros(count), SampleAllocator<float>(true));
}

namespace {
#if defined(__linux__)
// Gives advice for the whole pages inside [start, start + bytes) only: a
// partial page may be shared with other data.
void adviseWholePages(const void* start, size_t bytes, int advice) noexcept {
    static const auto pageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto first = (reinterpret_cast<uintptr_t>(start) + pageSize - 1) & ~(pageSize - 1);
    const auto end = (reinterpret_cast<uintptr_t>(start) + bytes) & ~(pageSize - 1);
    if (end > first)
        madvise(reinterpret_cast<void*>(first), end - first, advice);
}
#endif
} // namespace

void preferLargePages(void* start, size_t bytes) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // A large page is 2 MiB; a smaller block gains nothing.
    constexpr size_t largePage = size_t{2} << 20;
    if (start && bytes >= largePage)
        adviseWholePages(start, bytes, MADV_HUGEPAGE);
#else
    (void)start;
    (void)bytes;
#endif
}

void mapPagesNow(const void* start, size_t bytes) noexcept {
#if defined(__linux__) && defined(MADV_POPULATE_WRITE)
    adviseWholePages(start, bytes, MADV_POPULATE_WRITE);
#else
    (void)start;
    (void)bytes;
#endif
}

Samples bulkSamples(size_t count) {
    Samples samples = silentSamples(count);
    // Without large pages the buffer is the same, in small ones.
    preferLargePages(samples.data(), samples.size() * sizeof(float));
    return samples;
}

} // namespace spoolex
