#include "TimerDevice.h"

#include <sys/time.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

#include "devices/timer.h"
#include "platform/clock/Clock.h"

namespace tessella::timer {
namespace {

using Clock = std::chrono::steady_clock;

// Wall-clock time as seconds and microseconds, for TR_GETSYSTIME and UNIT_WAITUNTIL.
TimeVal SystemTime() {
    const timeval now = clock::WallTime();
    return TimeVal{static_cast<ULONG>(now.tv_sec), static_cast<ULONG>(now.tv_usec)};
}

class TimerDevice : public exec::DeviceDriver {
public:
    TimerDevice() {
        base_.driver = this;
        settled_ = clock::Now();  // a test may have stopped the clock before the device was made
        clock::AddListener(&TimerDevice::ClockChanged);
    }

    ~TimerDevice() override {
        {
            std::lock_guard guard(lock_);
            stopping_ = true;
        }
        changed_.notify_all();
        if (clock_.joinable()) {
            clock_.join();
        }
    }

    BYTE Open(ULONG unit, IORequest* ioReq, ULONG /*flags*/) override {
        if (unit != UNIT_MICROHZ && unit != UNIT_VBLANK && unit != UNIT_WAITUNTIL) {
            return IOERR_OPENFAIL;
        }
        std::lock_guard guard(lock_);
        if (!clock_.joinable()) {
            clock_ = std::thread([this] { Run(); });
        }
        ioReq->io_Device = &base_.device;
        ioReq->io_Unit = reinterpret_cast<Unit*>(static_cast<IPTR>(unit) + 1);
        ioReq->io_Error = 0;
        return 0;
    }

    void Close(IORequest* /*ioReq*/) override {}

    void BeginIO(IORequest* ioReq) override {
        timerequest* request = reinterpret_cast<timerequest*>(ioReq);
        switch (ioReq->io_Command) {
            case TR_ADDREQUEST:
                Queue(request);
                return;
            case TR_GETSYSTIME:
                request->tr_time = SystemTime();
                Complete(ioReq, 0);
                return;
            default:
                Complete(ioReq, IOERR_NOCMD);
                return;
        }
    }

    void AbortIO(IORequest* ioReq) override {
        {
            std::lock_guard guard(lock_);
            auto it = FindPending(ioReq);
            if (it == pending_.end()) {
                return;
            }
            pending_.erase(it);
            changed_.notify_all();
        }
        ioReq->io_Error = IOERR_ABORTED;
        ReplyMsg(&ioReq->io_Message);
    }

private:
    struct Pending {
        Clock::time_point deadline;
        unsigned long sequence;  // equal deadlines complete in the order they were sent
        IORequest* request;
        bool operator<(const Pending& other) const {
            return deadline != other.deadline ? deadline < other.deadline
                                              : sequence < other.sequence;
        }
    };

    static void Complete(IORequest* ioReq, BYTE error) {
        ioReq->io_Error = error;
        if ((ioReq->io_Flags & IOF_QUICK) == 0) {
            ReplyMsg(&ioReq->io_Message);
        }
    }

    static Clock::time_point DeadlineOf(const timerequest* request) {
        const IPTR unit = reinterpret_cast<IPTR>(request->tr_node.io_Unit) - 1;
        const auto delay = std::chrono::seconds(request->tr_time.tv_secs) +
                           std::chrono::microseconds(request->tr_time.tv_micro);
        if (unit != UNIT_WAITUNTIL) {
            return clock::Now() + delay;
        }
        const TimeVal now = SystemTime();
        const auto nowSinceEpoch =
            std::chrono::seconds(now.tv_secs) + std::chrono::microseconds(now.tv_micro);
        const auto left = delay > nowSinceEpoch ? delay - nowSinceEpoch : Clock::duration{};
        return clock::Now() + left;
    }

    void Queue(timerequest* request) {
        IORequest* ioReq = &request->tr_node;
        ioReq->io_Flags &= ~IOF_QUICK;
        ioReq->io_Error = 0;
        {
            std::lock_guard guard(lock_);
            pending_.insert(Pending{DeadlineOf(request), nextSequence_++, ioReq});
        }
        changed_.notify_all();
    }

    std::set<Pending>::iterator FindPending(IORequest* ioReq) {
        for (auto it = pending_.begin(); it != pending_.end(); ++it) {
            if (it->request == ioReq) {
                return it;
            }
        }
        return pending_.end();
    }

    // The clock thread sleeps until the earliest deadline or until the queue changes. Under the
    // virtual clock it completes only what is due already: a test's step completes the rest.
    void Run() {
        std::unique_lock guard(lock_);
        while (!stopping_) {
            if (pending_.empty()) {
                changed_.wait(guard);
                continue;
            }
            const Pending first = *pending_.begin();
            if (NowForClockThread() < first.deadline) {
                clock::WaitUntil(changed_, guard, first.deadline);
                continue;
            }
            pending_.erase(pending_.begin());
            changed_.notify_all();
            guard.unlock();
            ReplyMsg(&first.request->io_Message);
            guard.lock();
        }
    }

    // Under the virtual clock this thread sees time move only once a step's listener has taken
    // what fell due: were it to read the clock itself, it could reply a request between the step
    // and the listener, and the step would not count it. What was due already when queued (a zero
    // wait) it replies at once, as it does in real time.
    Clock::time_point NowForClockThread() const {
        return clock::IsVirtual() ? settled_ : clock::Now();
    }

    static int ClockChanged();

    // On the thread that changed the clock: under the virtual clock, what fell due completes
    // before the step returns; either way the clock thread looks again at its deadline.
    int OnClockChanged() {
        std::vector<IORequest*> due;
        {
            std::lock_guard guard(lock_);
            if (clock::IsVirtual()) {
                const Clock::time_point now = clock::Now();
                settled_ = now;
                while (!pending_.empty() && pending_.begin()->deadline <= now) {
                    due.push_back(pending_.begin()->request);
                    pending_.erase(pending_.begin());
                }
            }
            changed_.notify_all();
        }
        for (IORequest* r : due) {
            ReplyMsg(&r->io_Message);
        }
        return static_cast<int>(due.size());
    }

public:
    // Until count requests are waiting for their time; false when that takes longer.
    bool WaitPending(size_t count, int timeoutMs) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                                 [&] { return pending_.size() == count; });
    }

private:
    exec::DeviceBase base_{};
    std::mutex lock_;
    std::condition_variable changed_;
    std::set<Pending> pending_;
    unsigned long nextSequence_ = 0;
    Clock::time_point settled_{};  // the virtual time whose due requests have been taken
    bool stopping_ = false;
    std::thread clock_;
};

TimerDevice& Device() {
    static TimerDevice device;
    return device;
}

int TimerDevice::ClockChanged() {
    return Device().OnClockChanged();
}

}  // namespace

exec::DeviceDriver& TimerDriver() {
    return Device();
}

namespace {
[[maybe_unused]] const bool registered = exec::RegisterDevice(TIMERNAME, &TimerDriver);
}  // namespace

bool WaitPendingRequests(int count, int timeoutMs) {
    return Device().WaitPending(static_cast<size_t>(count), timeoutMs);
}

}  // namespace tessella::timer
