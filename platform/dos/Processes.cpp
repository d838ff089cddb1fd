#include <pthread.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <string>

#include "dos.h"
#include "platform/exec/ETask.h"

namespace {

// Linux threads running C++ (and the sanitizers) need more stack than an AROS process does;
// the size asked for is honoured when it is larger.
constexpr size_t kMinimumStack = 512 * 1024;

struct Start {
    Process* process;
    void (*entry)();
    LONG priority;
};

void* Run(void* argument) {
    Start start = *static_cast<Start*>(argument);
    delete static_cast<Start*>(argument);
    tessella::exec::BindCurrentThread(&start.process->pr_Task);
    const std::string name = start.process->pr_Task.tc_ETask->name.substr(0, 15);
    pthread_setname_np(pthread_self(), name.c_str());
    if (start.priority < 0) {
        // A low-priority worker must not slow the loop down; Linux lets a thread lower its own.
        setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), 10);
    }
    start.entry();
    tessella::exec::EndTask(&start.process->pr_Task);
    return nullptr;
}

}  // namespace

Process* CreateNewProc(const TagItem* tags) {
    auto entry = reinterpret_cast<void (*)()>(GetTagData(NP_Entry, 0, tags));
    if (entry == nullptr) {
        return nullptr;
    }
    const char* name = reinterpret_cast<const char*>(GetTagData(NP_Name, 0, tags));
    const size_t stack = std::max<size_t>(GetTagData(NP_StackSize, 0, tags), kMinimumStack);
    const LONG priority = static_cast<LONG>(static_cast<SIPTR>(GetTagData(NP_Priority, 0, tags)));

    Process* process = reinterpret_cast<Process*>(
        tessella::exec::NewTask(name != nullptr ? name : "", NT_PROCESS, sizeof(Process)));
    process->pr_Task.tc_Node.ln_Pri = static_cast<BYTE>(std::clamp<LONG>(priority, -128, 127));
    process->pr_MsgPort.mp_Node.ln_Type = NT_MSGPORT;
    process->pr_MsgPort.mp_Flags = PA_IGNORE;
    NewList(&process->pr_MsgPort.mp_MsgList);

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, stack);
    pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
    pthread_t thread;
    auto* start = new Start{process, entry, priority};
    const int failed = pthread_create(&thread, &attributes, &Run, start);
    pthread_attr_destroy(&attributes);
    if (failed != 0) {
        delete start;
        tessella::exec::EndTask(&process->pr_Task);
        return nullptr;
    }
    return process;
}
