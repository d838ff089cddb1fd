#include "StopSignals.h"

#include <atomic>
#include <csignal>

#include "CliBatch.h"
#include "PasswordInput.h"

namespace tessella {

namespace {

constexpr int kStopSignals[] = {SIGINT, SIGTERM, SIGHUP};

// The jobs a Ctrl-C stops. Clearing their flags is what the window's STOP does: a job notices
// at its next block and keeps nothing unless it had already finished.
std::atomic<CliBatch*> interruptible{nullptr};

void OnSignal(int sig) {
    CliBatch* batch = interruptible.load();
    if (batch != nullptr) {
        batch->StopAll();
        // A second Ctrl-C ends the program at once; what the jobs were writing has no name yet.
        if (sig == SIGINT) {
            std::signal(SIGINT, SIG_DFL);
        }
        return;
    }
    // No job yet, so nothing to clean up but the terminal: end as the signal would have.
    PasswordInput::RestoreTerminal();
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

}  // namespace

// Without SA_RESTART a signal also ends a wait for input, such as the question before replacing
// a file.
void StopSignals::Catch() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int sig : kStopSignals) {
        sigaction(sig, &action, nullptr);
    }
    // Past a file size limit a write then fails, and the job reports it and cleans up, rather
    // than the program dying with its work half done.
    std::signal(SIGXFSZ, SIG_IGN);
    // A reader that went away (`| head`, `| true`) only loses messages: the writes fail quietly,
    // and every job, the summary and the exit status stay what they are.
    std::signal(SIGPIPE, SIG_IGN);
}

void StopSignals::Stop(CliBatch* batch) {
    interruptible = batch;
}

void StopSignals::Finished() {
    // Ignored before the batch is let go: a signal in between still finds the finished batch,
    // where stopping changes nothing, and never the handler's way of ending the program.
    for (int sig : kStopSignals) {
        std::signal(sig, SIG_IGN);
    }
    interruptible = nullptr;
}

}  // namespace tessella
