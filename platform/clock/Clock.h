#pragma once
// The platform's one source of time. timer.device, dos Delay and the time stamps of messages
// read it, so that a test can stop time and step it: real time unless a test switches to the
// virtual clock through platform_test.h.

#include <sys/time.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tessella::clock {

using Steady = std::chrono::steady_clock;
using TimePoint = Steady::time_point;

// The monotonic time deadlines are measured on.
TimePoint Now();
// The time of day, as gettimeofday gives it.
timeval WallTime();
bool IsVirtual();

// Until the clock reaches the deadline: a real sleep, or under the virtual clock until a test
// advances it that far.
void SleepUntil(TimePoint deadline);

// A wait on cv (whose mutex the caller holds) until the deadline or a notify. Under the virtual
// clock it lasts until a notify: whoever waits so listens for the clock's changes.
void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock, TimePoint deadline);

// Told, on the thread that made the change, after every step of the virtual clock and every
// switch between real and virtual time. At most a few: one for each device that keeps time. A
// listener returns how many requests it completed.
using Listener = int (*)();
void AddListener(Listener listener);

// ---- For the test interface ----

// Stops time where it is; it moves from then on only by Advance.
void UseVirtual();
// Lets time run again: deadlines count on from where the virtual clock left them, and the time
// of day is the real one again.
void UseReal();
// Moves the virtual clock on; the listeners complete what fell due, and every sleeper whose
// deadline has passed has left its wait when this returns. How many requests and sleepers that
// step completed.
int Advance(std::chrono::microseconds step);
// Until count threads sleep on the clock; false when that takes longer than the timeout.
bool WaitSleepers(int count, int timeoutMs);

}  // namespace tessella::clock
