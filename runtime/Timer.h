#pragma once

#include <cstdint>

#include "Child.h"

struct MsgPort;
struct timerequest;

namespace tessella {

// An invisible element that calls its callback at a fixed interval, on the main thread: the
// expiry comes back to a port of its own, on which the event loop waits with the windows.
class Timer : public Child {
public:
    using TimerFn = void (*)(GUIElement*);

    Timer(GUIElement* owner, uint32_t milliseconds);
    ~Timer() override;

    void Load() override;
    void Start();
    void Stop();
    void SetMillisecond(uint32_t ms);
    uint32_t getMillisecond() const { return millisecond; }
    int16_t IsStart() const { return started; }
    void SetOnTimer(TimerFn fn) { onTimer = fn; }
    // The signal the loop waits on while the timer runs.
    uint32_t mp_SigBit() const;
    // Takes the completed request off the port, if it has come back.
    bool GetMSG();
    void OnTimer();

private:
    void Arm();

    uint32_t millisecond = 0;
    MsgPort* port = nullptr;
    timerequest* request = nullptr;
    int16_t pending = 0;
    int16_t started = 0;
    TimerFn onTimer = nullptr;
    bool deviceOpen = false;
};

}  // namespace tessella
