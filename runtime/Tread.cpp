#include "Tread.h"

#include <dos.h>

#include "util/StringUtils.h"

namespace tessella {

int32_t Tread::count = 0;
std::atomic<Tread*> Tread::TreadCurrent{nullptr};

Tread::Tread() : id(++count) {}

Tread::~Tread() {
    Join();
}

void Tread::Fn() {
    if (fn != nullptr) {
        fn(this);
    }
}

void Tread::ClearError() {
    error = false;
    msgError.clear();
}

bool Tread::Start() {
    const std::string name = "task" + StringUtils::IntToStr(count);
    TreadCurrent = this;
    {
        const std::lock_guard<std::mutex> hold(finishLock);
        started = true;
        finished = false;
    }
    process = CreateNewProcTags(NP_Entry, reinterpret_cast<IPTR>(&Tread::ThreadFunction),
                                NP_StackSize, 65536, NP_Priority, static_cast<IPTR>(-127), NP_Name,
                                reinterpret_cast<IPTR>(name.c_str()), TAG_DONE);
    if (process == nullptr) {
        const std::lock_guard<std::mutex> hold(finishLock);
        started = false;
        error = true;
        msgError = "Errore nella creazione del Tread";
    }
    return !error;
}

void Tread::ThreadFunction() {
    Tread* self = TreadCurrent;
    if (self == nullptr) {
        return;
    }
    self->Fn();
    // Signalled while holding the lock: once the joiner sees the flag, nothing here touches the
    // object again.
    const std::lock_guard<std::mutex> hold(self->finishLock);
    self->finished = true;
    self->finishedSignal.notify_all();
}

void Tread::Join() {
    std::unique_lock<std::mutex> hold(finishLock);
    finishedSignal.wait(hold, [this] { return !started || finished; });
}

bool Tread::IsFinished() {
    const std::lock_guard<std::mutex> hold(finishLock);
    return !started || finished;
}

}  // namespace tessella
