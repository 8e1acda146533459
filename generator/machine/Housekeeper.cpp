#include "generator/machine/Housekeeper.h"

#include "generator/machine/Machine.h"

namespace spoolex {

Housekeeper::Housekeeper(mi& owner) : machine(owner), thread([this] { run(); }) {}

Housekeeper::~Housekeeper() {
    {
        std::lock_guard<std::mutex> hold(lock);
        stopping = true;
    }
    wake.notify_all();
    thread.join();
}

void Housekeeper::run() {
    std::unique_lock<std::mutex> waiting(lock);
    while (!wake.wait_for(waiting, interval, [this] { return stopping; })) {
        waiting.unlock();
        try {
            machine.keepHouse();
        } catch (...) {
            // Out of memory: the audio thread uses what is ready; the next
            // round tries again.
        }
        waiting.lock();
    }
}

} // namespace spoolex
