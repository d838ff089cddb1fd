#include "Timer.h"

#include <devices/timer.h>
#include <dos.h>
#include <exec.h>

#include "Application.h"

namespace tessella {

Timer::Timer(GUIElement* owner, uint32_t ms) : Child(owner), millisecond(ms) {
    className = "timer";
    text = "timer";
    size = {0, 0};
    Application::AddTimer(this);
}

Timer::~Timer() {
    if (started != 0) {
        Stop();
    }
}

void Timer::Load() {
    if (loaded) {
        return;
    }
    if (id == 0) {
        ++countForm;
        id = countForm;
    }
    loaded = true;
}

void Timer::Arm() {
    // A device that did not open is never sent a request; the timer then simply never fires.
    if (!deviceOpen) {
        return;
    }
    request->tr_node.io_Command = TR_ADDREQUEST;
    request->tr_time.tv_secs = millisecond / 1000;
    request->tr_time.tv_micro = (millisecond % 1000) * 1000;
    SendIO(&request->tr_node);
    pending = 1;
}

void Timer::Start() {
    if (started != 0) {
        return;
    }
    Load();
    port = CreateMsgPort();
    if (port == nullptr) {
        Application::Log("Errore Creazione timerPort");
        return;
    }
    request = reinterpret_cast<timerequest*>(CreateExtIO(port, sizeof(timerequest)));
    if (request == nullptr) {
        Application::Log("Errore Creazione TimerIO");
        DeleteMsgPort(port);
        port = nullptr;
        return;
    }
    deviceOpen = OpenDevice(TIMERNAME, UNIT_VBLANK, &request->tr_node, 0) == 0;
    if (!deviceOpen) {
        Application::Log("Errore OpenDevice");
    }
    Arm();
    Delay(5);
    started = 1;
}

void Timer::Stop() {
    if (started == 0) {
        return;
    }
    if (request != nullptr) {
        if (pending != 0) {
            AbortIO(&request->tr_node);
            WaitIO(&request->tr_node);
        }
        pending = 0;
        if (deviceOpen) {
            CloseDevice(&request->tr_node);
            deviceOpen = false;
        }
        DeleteExtIO(&request->tr_node);
        request = nullptr;
    }
    if (port != nullptr) {
        DeleteMsgPort(port);
        port = nullptr;
    }
    started = 0;
}

void Timer::SetMillisecond(uint32_t ms) {
    millisecond = ms;
    if (started != 0) {
        Stop();
        Start();
    }
}

uint32_t Timer::mp_SigBit() const {
    return started != 0 && port != nullptr ? 1UL << port->mp_SigBit : 0;
}

bool Timer::GetMSG() {
    return started != 0 && port != nullptr && GetMsg(port) != nullptr;
}

void Timer::OnTimer() {
    if (started == 0) {
        return;
    }
    pending = 0;
    if (onTimer != nullptr) {
        onTimer(this);
        if (started == 0) {
            return;  // the callback stopped its own timer
        }
    }
    Arm();
}

}  // namespace tessella
