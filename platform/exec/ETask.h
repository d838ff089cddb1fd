#pragma once
// The private part of a task: the lock and condition its signals are guarded by.

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>

#include "exec.h"

struct ETask {
    std::mutex lock;
    std::condition_variable wake;
    std::string name;
    // Read by FindTask under the registry's lock while EndTask sets it under the task's own.
    std::atomic<bool> ended{false};
};

namespace tessella::exec {

// Tasks are never freed: a port or a request may still name a task whose thread has ended, and
// signalling it must stay harmless. They stay reachable from the registry.
Task* NewTask(const char* name, UBYTE type, size_t structSize);
// Binds the calling thread to a task made by NewTask.
void BindCurrentThread(Task* task);
// Signals every task there is, ended ones too (harmless: nobody waits on them).
void SignalAllTasks(ULONG signalSet);
// Marks a task ended; FindTask by name no longer finds it.
void EndTask(Task* task);

}  // namespace tessella::exec
