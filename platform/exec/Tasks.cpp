#include <cstdlib>
#include <cstring>
#include <vector>

#include "ETask.h"

namespace tessella::exec {
namespace {

struct Registry {
    std::mutex lock;
    std::vector<Task*> tasks;
};

Registry& TheRegistry() {
    static Registry* registry = new Registry;  // outlives every thread, even detached ones
    return *registry;
}

thread_local Task* currentTask = nullptr;

// Bits 0..15 belong to the system, as on AROS.
constexpr ULONG kReservedSignals = 0x0000FFFFUL;

}  // namespace

void SignalAllTasks(ULONG signalSet) {
    std::vector<Task*> tasks;
    {
        Registry& registry = TheRegistry();
        std::lock_guard guard(registry.lock);
        tasks = registry.tasks;
    }
    for (Task* task : tasks) {
        Signal(task, signalSet);
    }
}

Task* NewTask(const char* name, UBYTE type, size_t structSize) {
    Task* task = static_cast<Task*>(std::calloc(1, structSize));
    task->tc_ETask = new ETask;
    task->tc_ETask->name = name != nullptr ? name : "";
    task->tc_Node.ln_Type = type;
    task->tc_Node.ln_Name = task->tc_ETask->name.data();
    task->tc_SigAlloc = kReservedSignals;
    task->tc_State = TS_RUN;
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    registry.tasks.push_back(task);
    return task;
}

void BindCurrentThread(Task* task) {
    currentTask = task;
}

void EndTask(Task* task) {
    if (task == nullptr) {
        return;
    }
    std::lock_guard guard(task->tc_ETask->lock);
    task->tc_ETask->ended = true;
    task->tc_State = TS_REMOVED;
}

}  // namespace tessella::exec

using namespace tessella::exec;

Task* FindTask(CONST_STRPTR name) {
    if (name == nullptr) {
        if (currentTask == nullptr) {
            currentTask = NewTask("", NT_TASK, sizeof(Task));
        }
        return currentTask;
    }
    Registry& registry = TheRegistry();
    std::lock_guard guard(registry.lock);
    for (Task* task : registry.tasks) {
        if (!task->tc_ETask->ended && task->tc_ETask->name == name) {
            return task;
        }
    }
    return nullptr;
}

BYTE AllocSignal(LONG signalNum) {
    Task* self = FindTask(nullptr);
    std::lock_guard guard(self->tc_ETask->lock);
    if (signalNum < 0) {
        for (int bit = 31; bit >= 16; --bit) {
            // The highest free bit goes first, leaving low bits for callers that name one.
            if ((self->tc_SigAlloc & (1UL << bit)) == 0) {
                signalNum = bit;
                break;
            }
        }
        if (signalNum < 0) {
            return -1;
        }
    } else if (signalNum > 31 || (self->tc_SigAlloc & (1UL << signalNum)) != 0) {
        return -1;
    }
    const ULONG mask = 1UL << signalNum;
    self->tc_SigAlloc |= mask;
    self->tc_SigRecvd &= ~mask;
    return static_cast<BYTE>(signalNum);
}

void FreeSignal(LONG signalNum) {
    if (signalNum < 0 || signalNum > 31) {
        return;
    }
    Task* self = FindTask(nullptr);
    std::lock_guard guard(self->tc_ETask->lock);
    self->tc_SigAlloc &= ~(1UL << signalNum);
}

void Signal(Task* task, ULONG signalSet) {
    if (task == nullptr) {
        return;
    }
    ETask* e = task->tc_ETask;
    {
        std::lock_guard guard(e->lock);
        task->tc_SigRecvd |= signalSet;
    }
    e->wake.notify_all();
}

ULONG Wait(ULONG signalSet) {
    if (signalSet == 0) {
        return 0;  // nothing could ever wake us
    }
    Task* self = FindTask(nullptr);
    ETask* e = self->tc_ETask;
    std::unique_lock guard(e->lock);
    self->tc_SigWait = signalSet;
    self->tc_State = TS_WAIT;
    e->wake.wait(guard, [&] { return (self->tc_SigRecvd & signalSet) != 0; });
    self->tc_State = TS_RUN;
    self->tc_SigWait = 0;
    const ULONG arrived = self->tc_SigRecvd & signalSet;
    self->tc_SigRecvd &= ~arrived;
    return arrived;
}

ULONG SetSignal(ULONG newSignals, ULONG signalSet) {
    Task* self = FindTask(nullptr);
    ETask* e = self->tc_ETask;
    ULONG old;
    {
        std::lock_guard guard(e->lock);
        old = self->tc_SigRecvd;
        self->tc_SigRecvd = (old & ~signalSet) | (newSignals & signalSet);
    }
    e->wake.notify_all();
    return old;
}
