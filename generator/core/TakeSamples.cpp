#include "generator/core/TakeSamples.h"

#include <thread>

#include "generator/core/Machine.h"

namespace spoolex {

TakeSamples::TakeSamples(mi& owner, const Take& take)
    : machine(owner), data(take.samples.data()), count(take.samples.size()) {
    auto brief = machine.lockAudio();
    guarded = machine.recording.take.get() == &take;
    for (const RecordCommand& command : machine.recordQueue)
        guarded = guarded || command.take.get() == &take;
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
