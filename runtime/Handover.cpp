#include "Handover.h"

#include "Timer.h"

namespace tessella {

// The timer's callback gets only the element: the timer carries its way back to the queue.
class Handover::TickTimer : public Timer {
public:
    TickTimer(GUIElement* owner, uint32_t ms, Handover* handover)
        : Timer(owner, ms), handover(handover) {
        SetOnTimer(&TickTimer::Tick);
    }

private:
    static void Tick(GUIElement* element) {
        Handover* h = static_cast<TickTimer*>(element)->handover;
        if (h->onTick) {
            h->onTick();
        } else {
            h->RunPosted();
        }
    }

    Handover* handover;
};

Handover::Handover() : ownerTask(std::this_thread::get_id()) {}

Handover::~Handover() = default;

void Handover::MakeTimer(GUIElement* owner, uint32_t ms, TickFn tick) {
    onTick = std::move(tick);
    timer = std::make_unique<TickTimer>(owner, ms, this);
}

void Handover::Start() {
    if (timer != nullptr) {
        timer->Start();
    }
}

void Handover::Stop() {
    if (timer != nullptr) {
        timer->Stop();
    }
}

bool Handover::IsStarted() const {
    return timer != nullptr && timer->IsStart() != 0;
}

bool Handover::IsOwnerTask() const {
    return std::this_thread::get_id() == ownerTask;
}

void Handover::Post(std::function<void()> f) {
    if (IsOwnerTask()) {
        f();
        return;
    }
    const std::lock_guard<std::mutex> hold(lock);
    queue.push_back(std::move(f));
}

void Handover::RunPosted() {
    std::vector<std::function<void()>> batch;
    {
        const std::lock_guard<std::mutex> hold(lock);
        batch.swap(queue);
    }
    for (auto& f : batch) {
        f();
    }
}

void Handover::Clear() {
    const std::lock_guard<std::mutex> hold(lock);
    queue.clear();
}

size_t Handover::Pending() const {
    const std::lock_guard<std::mutex> hold(lock);
    return queue.size();
}

}  // namespace tessella
