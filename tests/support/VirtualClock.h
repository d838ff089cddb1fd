#pragma once
// The platform's clock stopped for one test: timers and Delay see time move only by the test's
// steps, so that a test waits for nothing and every tick lands at a known step.

#include <functional>
#include <thread>

#include "platform_test.h"

namespace tessella {

class VirtualClock {
public:
    VirtualClock() { PlatformTest::UseVirtualClock(); }
    ~VirtualClock() { PlatformTest::UseRealClock(); }
    VirtualClock(const VirtualClock&) = delete;
    VirtualClock& operator=(const VirtualClock&) = delete;

    // Runs f on this thread while another steps the clock past the one Delay f pauses in (a
    // timer's Start, for one, pauses its caller after arming it).
    static void ThroughDelay(int ms, const std::function<void()>& f) {
        std::thread hand([ms] {
            if (PlatformTest::WaitDelays(1)) {
                PlatformTest::AdvanceClock(ms);
            }
        });
        f();
        hand.join();
    }
};

}  // namespace tessella
