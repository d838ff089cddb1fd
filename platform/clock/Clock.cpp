#include "Clock.h"

#include <cstdint>
#include <set>
#include <vector>

#include "util/MyDateTime.h"

namespace tessella::clock {
namespace {

using std::chrono::microseconds;

int64_t RealWallMicros() {
    timeval now{};
    gettimeofday(&now, nullptr);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_usec;
}

struct State {
    std::mutex lock;
    std::condition_variable changed;          // the time or the mode changed: sleepers look
    std::condition_variable sleepersChanged;  // a sleeper came or went: watchers look
    bool isVirtual = false;
    // Real time: the steady clock plus a shift, which is zero until a test has used the virtual
    // clock and let time run again from where it left it. The time of day is the real one.
    Steady::duration shift{};
    // Virtual time: where it stands, and the time of day when it stood at virtualStart.
    TimePoint virtualNow{};
    TimePoint virtualStart{};
    int64_t wallAtStart = 0;
    std::multiset<TimePoint> sleepers;  // the deadlines of threads waiting on the virtual clock
    std::vector<Listener> listeners;
};

State& Get() {
    static State state;
    return state;
}

TimePoint NowLocked(const State& s) {
    return s.isVirtual ? s.virtualNow : Steady::now() + s.shift;
}

int64_t WallMicrosLocked(const State& s) {
    if (!s.isVirtual) {
        return RealWallMicros();
    }
    return s.wallAtStart +
           std::chrono::duration_cast<microseconds>(s.virtualNow - s.virtualStart).count();
}

int Tell() {
    std::vector<Listener> listeners;
    {
        State& s = Get();
        std::lock_guard guard(s.lock);
        listeners = s.listeners;
    }
    int completed = 0;
    for (Listener l : listeners) {
        completed += l();
    }
    return completed;
}

// The time of day for MyDateTime, whose double-click timing then follows the same clock.
timespec WallSpec() {
    const timeval now = WallTime();
    return timespec{now.tv_sec, static_cast<long>(now.tv_usec) * 1000};
}

}  // namespace

TimePoint Now() {
    State& s = Get();
    std::lock_guard guard(s.lock);
    return NowLocked(s);
}

timeval WallTime() {
    State& s = Get();
    int64_t micros;
    {
        std::lock_guard guard(s.lock);
        micros = WallMicrosLocked(s);
    }
    return timeval{static_cast<time_t>(micros / 1000000),
                   static_cast<suseconds_t>(micros % 1000000)};
}

bool IsVirtual() {
    State& s = Get();
    std::lock_guard guard(s.lock);
    return s.isVirtual;
}

void SleepUntil(TimePoint deadline) {
    State& s = Get();
    std::unique_lock guard(s.lock);
    // Through the clock's own condition, so that a switch between real and virtual time
    // reaches a sleeper too.
    while (NowLocked(s) < deadline) {
        if (s.isVirtual) {
            const auto it = s.sleepers.insert(deadline);
            s.sleepersChanged.notify_all();
            s.changed.wait(guard);
            s.sleepers.erase(it);
            s.sleepersChanged.notify_all();
        } else {
            s.changed.wait_until(guard, deadline - s.shift);
        }
    }
}

void WaitUntil(std::condition_variable& cv, std::unique_lock<std::mutex>& lock,
               TimePoint deadline) {
    bool isVirtual;
    Steady::duration shift;
    {
        State& s = Get();
        std::lock_guard guard(s.lock);
        isVirtual = s.isVirtual;
        shift = s.shift;
    }
    if (isVirtual) {
        cv.wait(lock);
    } else {
        cv.wait_until(lock, deadline - shift);
    }
}

void AddListener(Listener listener) {
    State& s = Get();
    std::lock_guard guard(s.lock);
    s.listeners.push_back(listener);
}

void UseVirtual() {
    State& s = Get();
    {
        std::lock_guard guard(s.lock);
        if (s.isVirtual) {
            return;
        }
        s.virtualNow = NowLocked(s);
        s.virtualStart = s.virtualNow;
        s.wallAtStart = WallMicrosLocked(s);
        s.isVirtual = true;
        s.changed.notify_all();
    }
    tessella::MyDateTime::SetClockSource(WallSpec);
    Tell();
}

void UseReal() {
    State& s = Get();
    {
        std::lock_guard guard(s.lock);
        if (!s.isVirtual) {
            return;
        }
        s.shift = s.virtualNow - Steady::now();
        s.isVirtual = false;
        s.changed.notify_all();
    }
    tessella::MyDateTime::SetClockSource(nullptr);
    Tell();
}

int Advance(microseconds step) {
    State& s = Get();
    int woken = 0;
    {
        std::unique_lock guard(s.lock);
        if (!s.isVirtual) {
            return 0;
        }
        s.virtualNow += step;
        for (const TimePoint deadline : s.sleepers) {
            woken += deadline <= s.virtualNow ? 1 : 0;
        }
        s.changed.notify_all();
        // Every sleeper now due has left its wait before the step counts as taken.
        s.sleepersChanged.wait(
            guard, [&] { return s.sleepers.empty() || *s.sleepers.begin() > s.virtualNow; });
    }
    return woken + Tell();
}

bool WaitSleepers(int count, int timeoutMs) {
    State& s = Get();
    std::unique_lock guard(s.lock);
    return s.sleepersChanged.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                      [&] { return static_cast<int>(s.sleepers.size()) == count; });
}

}  // namespace tessella::clock
