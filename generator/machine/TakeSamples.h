// Reading a take's samples on the user-interface thread while the audio
// thread may be recording into it.
//
// A take that is recorded (or about to be) has a buffer that never moves,
// but the audio thread writes its values under the machine's lock. Such a
// take is read under the lock in short holds, released now and then so a
// long read never keeps the audio block waiting. Any other take changes only
// on the user-interface thread and is read without the lock.
#pragma once

#include <algorithm>
#include <cstddef>
#include <mutex>

namespace spoolex {

class mi;
struct Take;

// Folds n interleaved floats (a whole number of frames) into the extremes
// {minL, maxL, minR, maxR}. Eight independent lanes, so the compiler can
// keep them in vector registers; the result is the same as one at a time.
void foldFrames(const float* p, size_t n, float extremes[4]);

class TakeSamples {
public:
    // Learns (under a brief hold) whether the audio thread may write take.
    TakeSamples(mi& machine, const Take& take);
    TakeSamples(const TakeSamples&) = delete;
    TakeSamples& operator=(const TakeSamples&) = delete;

    size_t floatCount() const { return count; }
    // Whether the audio thread may write the take (it is recorded, or a
    // queued recording will write it).
    bool recorded() const { return guarded; }

    // Calls visit(pointer, n) for the floats first .. end - 1, in pieces,
    // each under the lock when the take is being recorded.
    template <typename Visit> void forEach(size_t first, size_t end, Visit visit) {
        end = std::min(end, count);
        while (first < end) {
            const size_t n = std::min(end - first, piece);
            reading(n);
            visit(data + first, n);
            first += n;
        }
    }
    // Ends the current hold, if any.
    void release();

private:
    // Floats read per hold of the lock: some tens of microseconds.
    static constexpr size_t piece = size_t{1} << 15;
    void reading(size_t n);

    mi& machine;
    const float* data = nullptr;
    size_t count = 0;
    bool guarded = false;
    size_t sinceHold = 0;
    std::unique_lock<std::mutex> hold;
};

} // namespace spoolex
