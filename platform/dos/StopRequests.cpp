// Stop requests: the signals a desktop or a terminal sends to end a program, turned into the
// Ctrl-C break every task can wait for, by one thread that takes them with sigwait. A signal
// handler could do nothing of the sort safely; a blocked signal waits for that thread instead.
#include "StopRequests.h"

#include <pthread.h>
#include <signal.h>

#include <atomic>
#include <thread>

#include "platform/exec/ETask.h"

namespace tessella::dos {
namespace {

std::atomic<LONG> requested{0};
std::atomic<bool> caught{false};

sigset_t StopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

}  // namespace

void RequestStop(LONG why) {
    LONG none = 0;
    requested.compare_exchange_strong(none, why);
    exec::SignalAllTasks(SIGBREAKF_CTRL_C);
}

void ClearStopRequest() {
    requested = 0;
}

}  // namespace tessella::dos

using namespace tessella::dos;

void CatchStopSignals() {
    if (caught.exchange(true)) {
        return;
    }
    const sigset_t set = StopSignals();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    // It lives as long as the process, waiting for the next signal.
    std::thread([set] {
        for (;;) {
            int sig = 0;
            if (sigwait(&set, &sig) == 0) {
                RequestStop(sig);
            }
        }
    }).detach();
}

LONG StopRequested() {
    return requested.load();
}

BOOL StopSignalsCaught() {
    return caught.load() ? TRUE : FALSE;
}
