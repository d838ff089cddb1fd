#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace tessella {

class GUIElement;

// Hands work from any thread to the task that made the object: a window's task, the only one
// that may touch the window's controls. Posted on that task, a function runs at once; posted
// from another thread, it waits in a queue until the owner applies the queue, at a tick of the
// object's timer or when it calls RunPosted itself. Functions run in the order they were posted.
class Handover {
public:
    using TickFn = std::function<void()>;

    Handover();
    ~Handover();
    Handover(const Handover&) = delete;
    Handover& operator=(const Handover&) = delete;

    // Makes the timer (a child of owner, on the owner's task) whose ticks, every ms
    // milliseconds while started, call onTick; without one, a tick calls RunPosted.
    void MakeTimer(GUIElement* owner, uint32_t ms, TickFn onTick = {});
    // The timer only runs while work may come from another thread: an idle window's loop then
    // has one thing fewer to wake for.
    void Start();
    void Stop();
    bool IsStarted() const;

    bool IsOwnerTask() const;
    void Post(std::function<void()> f);
    // On the owner's task: runs what was posted until now.
    void RunPosted();
    // Forgets what was posted and not yet run.
    void Clear();
    size_t Pending() const;

private:
    class TickTimer;

    std::thread::id ownerTask;
    mutable std::mutex lock;
    std::vector<std::function<void()>> queue;
    std::unique_ptr<TickTimer> timer;
    TickFn onTick;
};

}  // namespace tessella
