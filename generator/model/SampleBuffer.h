// The sample buffers of takes, and where their memory comes from.
//
// Most buffers come from the heap as any vector's would. A take that a
// recording is about to fill comes from the system's page mapper instead
// (silentSamples): the pages are handed out zero and mapped one by one on
// first touch, so making a take of an hour costs the audio thread one system
// call, and the page faults are spread over the recording (a few dozen a
// second). Which of the two a buffer holds travels with it through moves and
// swaps, so it is always given back the way it came.
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace spoolex {

// Zeroed pages from the system, or null when it has none to give.
void* mapZeroPages(size_t bytes) noexcept;
void unmapPages(void* start, size_t bytes) noexcept;

// What a buffer from the page mapper is made of before anything is written.
struct FreshZero {};

template <typename T> class SampleAllocator {
public:
    using value_type = T;
    using propagate_on_container_move_assignment = std::true_type;
    using propagate_on_container_swap = std::true_type;
    using propagate_on_container_copy_assignment = std::false_type;
    using is_always_equal = std::false_type;

    SampleAllocator() noexcept = default;
    explicit SampleAllocator(bool fromPageMapper) noexcept : mapped(fromPageMapper) {}
    template <typename U>
    SampleAllocator(const SampleAllocator<U>& other) noexcept : mapped(other.pageMapped()) {}

    // A copy is an ordinary heap buffer, whatever its source was.
    SampleAllocator select_on_container_copy_construction() const noexcept { return {}; }

    T* allocate(size_t n) {
        if (n > SIZE_MAX / sizeof(T))
            throw std::bad_alloc();
        if (!mapped)
            return static_cast<T*>(::operator new(n * sizeof(T)));
        void* start = mapZeroPages(n * sizeof(T));
        if (!start)
            throw std::bad_alloc();
        return static_cast<T*>(start);
    }
    void deallocate(T* start, size_t n) noexcept {
        if (mapped)
            unmapPages(start, n * sizeof(T));
        else
            ::operator delete(start);
    }

    template <typename U, typename... Args> void construct(U* at, Args&&... args) {
        ::new (static_cast<void*>(at)) U(std::forward<Args>(args)...);
    }
    // Only for a buffer from the page mapper (silentSamples), whose fresh
    // pages are zero already: writing would map every one of them. Nothing
    // at all, so that the compiler drops the loop that calls it.
    void construct(T*, FreshZero) noexcept {}

    bool pageMapped() const noexcept { return mapped; }

    friend bool operator==(const SampleAllocator& a, const SampleAllocator& b) noexcept {
        return a.mapped == b.mapped;
    }
    friend bool operator!=(const SampleAllocator& a, const SampleAllocator& b) noexcept {
        return a.mapped != b.mapped;
    }

private:
    bool mapped = false;
};

// Interleaved stereo samples of a take.
using Samples = std::vector<float, SampleAllocator<float>>;

// count zero samples from the page mapper; throws std::bad_alloc when the
// system has no room for them.
Samples silentSamples(size_t count);

// The same, for a buffer that is about to be written whole off the audio
// thread (a take decoded or imported): no zero fill ahead of the writing,
// whose page faults then fall on the threads that write, and where the
// system offers large pages they are asked for (a fault per 2 MiB instead of
// per 4 KiB). Never for a recording: one large fault on the audio thread
// would cost more than a block.
Samples bulkSamples(size_t count);

// Asks for large pages for the whole pages inside [start, start + bytes) of
// a fresh heap block about to be written (a take's stored stream as it is
// read): a hint only, and nothing where the system has none.
void preferLargePages(void* start, size_t bytes) noexcept;

// Maps the whole pages inside [start, start + bytes) at once, just before
// they are written: one call instead of a page fault per page, which in a
// virtual machine costs several times the writing. A hint only, and nothing
// where the system cannot do it. Keep each stretch small (a megabyte): the
// system holds the process's memory map for the whole call, and a long one
// stalls other threads' page faults, the audio thread's among them.
void mapPagesNow(const void* start, size_t bytes) noexcept;

inline bool operator==(const Samples& a, const std::vector<float>& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}
inline bool operator==(const std::vector<float>& a, const Samples& b) {
    return b == a;
}
inline bool operator!=(const Samples& a, const std::vector<float>& b) {
    return !(a == b);
}
inline bool operator!=(const std::vector<float>& a, const Samples& b) {
    return !(b == a);
}

} // namespace spoolex
