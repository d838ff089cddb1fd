#include <unistd.h>

#include <atomic>
#include <clocale>
#include <csignal>
#include <cstdio>

#include "CliJob.h"
#include "CommandLine.h"
#include "Latin1.h"
#include "PasswordInput.h"

namespace {

// The job a Ctrl-C stops. Clearing its flag is what the window's STOP does: the job notices at
// its next block and keeps nothing unless it had already finished.
std::atomic<CliJob*> interruptible{nullptr};

void OnSignal(int sig) {
    CliJob* job = interruptible.load();
    if (job != nullptr) {
        job->running.store(false);
        // A second Ctrl-C ends the program at once; what the job was writing has no name yet.
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

// Ctrl-C, a closed terminal and a polite kill all stop the job the same way. Without
// SA_RESTART a signal also ends a wait for input, such as the question before replacing a file.
void CatchStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(sig, &action, nullptr);
    }
    // Past a file size limit a write then fails, and the job reports it and cleans up, rather
    // than the program dying with its work half done.
    std::signal(SIGXFSZ, SIG_IGN);
}

int UsageError(const std::string& message) {
    std::fprintf(stderr, "tessella-cli: %s\nTry 'tessella-cli --help'.\n", message.c_str());
    return 2;
}

bool ToSystemText(std::string& password) {
    if (Latin1::LocaleIsLatin1()) {
        return true;
    }
    std::string converted;
    if (!Latin1::FromUtf8(password, converted)) {
        return false;
    }
    password = converted;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::setlocale(LC_CTYPE, "");
    CatchStopSignals();
    CommandLine cmd;
    if (!cmd.Parse(std::vector<std::string>(argv + 1, argv + argc))) {
        return UsageError(cmd.error);
    }
    if (cmd.action == CommandLine::Action::kHelp) {
        std::fputs(CommandLine::Usage(), stdout);
        return 0;
    }
    if (cmd.action == CommandLine::Action::kVersion) {
        std::printf("tessella-cli %s\n", TESSELLA_VERSION);
        return 0;
    }

    // Messages compare and upper-case names byte by byte, as the window does.
    std::setlocale(LC_CTYPE, "C");
    CliJob job;
    job.encryptMode = cmd.action == CommandLine::Action::kEncrypt;
    job.source = cmd.source;
    job.check = job.encryptMode && cmd.check;
    job.force = cmd.force;
    if (job.encryptMode) {
        job.destination =
            cmd.destination.empty() ? job.AggiungiSuffix(cmd.source, "velx") : cmd.destination;
    } else {
        job.destination = cmd.destination;
        job.destinationChoice =
            cmd.destination.empty() ? CliJob::kSameFolderOriginalName : CliJob::kSpecifyPathname;
    }

    std::setlocale(LC_CTYPE, "");
    const PasswordInput::Result got =
        cmd.passwordFile.empty()
            ? PasswordInput::FromTerminalOrInput(job.encryptMode, job.password, job.confirmation)
            : PasswordInput::FromFile(cmd.passwordFile, job.password);
    if (got != PasswordInput::Result::kOk) {
        return UsageError("cannot read the password" + (cmd.passwordFile.empty()
                                                            ? std::string()
                                                            : " file '" + cmd.passwordFile + "'"));
    }
    if (!cmd.passwordFile.empty()) {
        job.confirmation = job.password;
    }
    if (!ToSystemText(job.password) || !ToSystemText(job.confirmation)) {
        std::fprintf(stderr,
                     "ERROR: The password may use only Latin-1 characters (letters, digits, "
                     "punctuation and Western European accented letters)\n");
        return 1;
    }
    std::setlocale(LC_CTYPE, "C");

    job.showProgressBar = isatty(STDERR_FILENO) != 0;
    // Only a user at a terminal can be asked; the password did not come through it otherwise.
    job.askBeforeReplacing = isatty(STDIN_FILENO) != 0 && isatty(STDERR_FILENO) != 0;
    job.running = true;
    interruptible = &job;
    job.evTread();
    interruptible = nullptr;

    if (job.Succeeded()) {
        return 0;
    }
    if (job.LastError().empty()) {
        std::fprintf(stderr, "Interrupted: nothing was written.\n");
    }
    return 1;
}
