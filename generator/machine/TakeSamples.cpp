#include "generator/machine/TakeSamples.h"

#include <algorithm>
#include <thread>

#include "generator/machine/Machine.h"

namespace spoolex {

void foldFrames(const float* p, size_t n, float e[4]) {
    float lo[8];
    float hi[8];
    for (int j = 0; j < 8; ++j) {
        lo[j] = e[(j & 1) * 2];
        hi[j] = e[(j & 1) * 2 + 1];
    }
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        for (int j = 0; j < 8; ++j) {
            lo[j] = p[i + j] < lo[j] ? p[i + j] : lo[j];
            hi[j] = p[i + j] > hi[j] ? p[i + j] : hi[j];
        }
    for (; i + 1 < n; i += 2)
        for (int j = 0; j < 2; ++j) {
            lo[j] = p[i + j] < lo[j] ? p[i + j] : lo[j];
            hi[j] = p[i + j] > hi[j] ? p[i + j] : hi[j];
        }
    for (int j = 0; j < 8; ++j) {
        float& low = e[(j & 1) * 2];
        float& high = e[(j & 1) * 2 + 1];
        low = std::min(low, lo[j]);
        high = std::max(high, hi[j]);
    }
}

TakeSamples::TakeSamples(mi& owner, const Take& take) : machine(owner) {
    // A take the audio thread has just made gets its buffer under the lock.
    auto brief = machine.lockAudio();
    data = take.samples().data();
    count = take.samples().size();
    guarded = machine.recordsInto(take);
}

void TakeSamples::release() {
    if (hold.owns_lock())
        hold.unlock();
    sinceHold = 0;
}

void TakeSamples::reading(size_t n) {
    if (!guarded)
        return;
    if (hold.owns_lock() && sinceHold + n > piece) {
        hold.unlock();
        // Let a waiting audio block in before holding it again.
        std::this_thread::yield();
    }
    if (!hold.owns_lock()) {
        hold = machine.lockAudio();
        sinceHold = 0;
    }
    sinceHold += n;
}

} // namespace spoolex
