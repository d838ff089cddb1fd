#include <unistd.h>

#include <clocale>
#include <csignal>
#include <cstdio>

#include "CliJob.h"
#include "CommandLine.h"
#include "Latin1.h"
#include "PasswordInput.h"

namespace {

// The job a Ctrl-C stops. Clearing its flag is what the window's STOP does: the job notices at
// its next block and removes what it had started to write.
CliJob* interruptible = nullptr;

void OnInterrupt(int) {
    if (interruptible != nullptr) {
        interruptible->running.store(false);
    }
    // A second Ctrl-C ends the program at once.
    std::signal(SIGINT, SIG_DFL);
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
    job.running = true;
    interruptible = &job;
    std::signal(SIGINT, OnInterrupt);
    std::signal(SIGTERM, OnInterrupt);
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
