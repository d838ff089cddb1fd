#pragma once
// A bounded look, again and again, at what another thread is doing: for results that no
// message or signal announces to the test. The bound is real time, so a loaded machine only
// makes the look take longer; it never turns a pass into a failure.

#include <chrono>
#include <functional>
#include <thread>

namespace tessella {

inline bool PollUntil(const std::function<bool()>& done, int timeoutMs = 5000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

}  // namespace tessella
