// The host's audio thread in a concurrency test: renders blocks of the
// machine until stopped, and before each block lets the test do what a host
// does on that thread (a pattern play through slot 15, a tick).
#pragma once

#include <atomic>
#include <functional>
#include <thread>
#include <utility>
#include <vector>

#include "host/HostMachine.h"

class HostAudioThread {
public:
    // beforeBlock(n) runs on the audio thread before block n (from 0).
    HostAudioThread(host::HostMachine& placed, int frames,
                    std::function<void(int block)> beforeBlock = {})
        : thread([this, &placed, frames, beforeBlock = std::move(beforeBlock)] {
              std::vector<float> out(2 * static_cast<size_t>(frames));
              for (int block = 0; !stopping.load(); ++block) {
                  if (beforeBlock)
                      beforeBlock(block);
                  placed.machine->renderStereo(nullptr, out.data(), frames, 0);
                  rendered.fetch_add(1);
              }
          }) {}
    HostAudioThread(const HostAudioThread&) = delete;
    HostAudioThread& operator=(const HostAudioThread&) = delete;
    ~HostAudioThread() { stop(); }

    void stop() {
        stopping = true;
        if (thread.joinable())
            thread.join();
    }
    int blocks() const { return rendered.load(); }
    // Returns once the first block is rendered: quick edits could otherwise
    // all be over before the audio thread starts.
    void awaitFirstBlock() const {
        while (blocks() == 0)
            std::this_thread::yield();
    }

private:
    std::atomic<bool> stopping{false};
    std::atomic<int> rendered{0};
    std::thread thread; // last: it starts once the counters exist
};
