#include <chrono>

#include "dos.h"
#include "platform/clock/Clock.h"

// A tick is a fiftieth of a second.
void Delay(ULONG ticks) {
    using tessella::clock::Now;
    tessella::clock::SleepUntil(Now() + std::chrono::milliseconds(20) * ticks);
}
