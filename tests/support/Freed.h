// Things the audio thread lets go of are freed by the machine's housekeeper,
// off that thread and a little later: tests wait for it.
#pragma once

#include <chrono>
#include <memory>
#include <thread>

namespace testsupport {

// Whether watched is freed within a few seconds (the housekeeper looks ten
// times a second).
template <typename T> bool freedSoon(const std::weak_ptr<T>& watched) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!watched.expired() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return watched.expired();
}

} // namespace testsupport
