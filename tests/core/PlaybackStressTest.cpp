// An editing thread against a rendering thread: every change of the lists,
// takes and player tables must be serialised against the blocks.
#include <atomic>
#include <cmath>
#include <mutex>
#include <random>
#include <thread>

#include "tests/core/PlaybackFixture.h"

namespace {

using spoolex::Pattern;
using spoolex::Take;

class PlaybackStress : public PlaybackTest {
protected:
    host::HostPattern* pickPattern(std::mt19937& random) {
        std::lock_guard<std::mutex> hold(handlesLock);
        if (live.empty())
            return nullptr;
        return live[random() % live.size()];
    }
    CPattern* pickHandle(std::mt19937& random) {
        std::lock_guard<std::mutex> hold(handlesLock);
        return live.empty() ? nullptr : live[random() % live.size()]->handle();
    }
    void addLive(host::HostPattern* pattern) {
        std::lock_guard<std::mutex> hold(handlesLock);
        live.push_back(pattern);
    }
    void removeLive(host::HostPattern* pattern) {
        std::lock_guard<std::mutex> hold(handlesLock);
        live.erase(std::find(live.begin(), live.end(), pattern));
    }

    void addRecordedTake(Pattern& pattern, std::mt19937& random) {
        // Filled outside the lock, published under it.
        spoolex::Samples samples(2 * (500 + random() % 8000));
        for (size_t i = 0; i < samples.size(); ++i)
            samples[i] = static_cast<float>(i % 200) - 100.0f;
        auto hold = machine().lockAudio();
        Take& take = pattern.addTake();
        take.sampleRate = random() % 2 ? 44100 : 22050;
        take.changeSamples().swap(samples);
    }

    void edit(std::mt19937& random) {
        host::HostPattern* hostPattern = pickPattern(random);
        Pattern* pattern = hostPattern ? machine().findPattern(hostPattern->handle()) : nullptr;
        switch (random() % 9) {
        case 0:
            if (live.size() < 12)
                addLive(createPattern("P" + std::to_string(random()), 1 + random() % 16));
            break;
        case 1:
            if (hostPattern && live.size() < 12)
                addLive(host.copyPattern(*hostPattern, "C" + std::to_string(random())));
            break;
        case 2:
            if (hostPattern)
                host.resizePattern(*hostPattern, 1 + random() % 16);
            break;
        case 3:
            if (hostPattern && live.size() > 2) {
                removeLive(hostPattern);
                host.deletePattern(hostPattern);
            }
            break;
        case 4:
            if (pattern)
                addRecordedTake(*pattern, random);
            break;
        case 5:
        case 6:
            if (pattern) {
                auto hold = machine().lockAudio();
                Take* take = pattern->takes.empty() || random() % 4 == 0
                                 ? nullptr
                                 : pattern->takes[random() % pattern->takes.size()].get();
                double t0 = (random() % 64) * 0.25;
                pattern->assignTake(t0, t0 + (random() % 32) * 0.25, take);
                pattern->tidyActiveTakes();
                machine().resyncPlayers(*pattern);
                pattern->invalidateOverview();
            }
            break;
        case 7:
            if (pattern) {
                std::shared_ptr<Take> removed;
                auto hold = machine().lockAudio();
                if (!pattern->takes.empty())
                    removed =
                        pattern->removeTake(*pattern->takes[random() % pattern->takes.size()]);
                hold.unlock();
            }
            break;
        case 8:
            if (random() % 2)
                machine().togglePreview(pattern, (random() % 8) * 0.5, (random() % 16) * 0.5);
            else
                host.setAttribute(*placed, 0, 1 + static_cast<int>(random() % 200));
            break;
        }
    }

    std::mutex handlesLock;
    std::vector<host::HostPattern*> live;
};

TEST_F(PlaybackStress, EditingWhileRenderingStaysConsistent) {
    std::mt19937 setup(1);
    for (int i = 0; i < 4; ++i) {
        host::HostPattern* pattern = createPattern("S" + std::to_string(i), 16);
        addLive(pattern);
        addRecordedTake(patternOf(pattern), setup);
        assign(patternOf(pattern), 0, 16, patternOf(pattern).takes[0].get());
    }
    host::HostSequence* other = host.addSequence(*placed);
    CSequence* sequences[] = {sequence->handle(), other->handle()};

    std::atomic<bool> done{false};
    std::atomic<bool> finite{true};
    std::atomic<long> blocks{0};
    std::thread renderer([&] {
        std::mt19937 random(2);
        std::vector<float> out(512);
        while (!done.load()) {
            if (random() % 8 == 0)
                machine().ex.onPatternPlay(pickHandle(random), sequences[random() % 2],
                                           static_cast<int>(random() % 16));
            if (random() % 200 == 0)
                machine().onStop();
            machine().renderStereo(nullptr, out.data(), 1 + static_cast<int>(random() % 256), 3);
            for (float v : out)
                if (!std::isfinite(v))
                    finite = false;
            ++blocks;
        }
    });
    std::mt19937 random(3);
    for (int i = 0; i < 20000; ++i)
        edit(random);
    while (blocks.load() < 500)
        std::this_thread::yield();
    done = true;
    renderer.join();
    EXPECT_TRUE(finite.load());

    // Whatever is left still plays out and finishes.
    machine().onStop();
    render(44100);
    EXPECT_EQ(machine().patternPlayerCount(), 0u);
    EXPECT_EQ(machine().takePlayerCount(), 0u);
}

} // namespace
