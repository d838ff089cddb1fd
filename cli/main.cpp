#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <memory>

#include "CliBatch.h"
#include "CliJob.h"
#include "CommandLine.h"
#include "Latin1.h"
#include "OutputClash.h"
#include "PasswordInput.h"
#include "StopSignals.h"
#include "engine/FileUtils.h"
#include "util/StringUtils.h"

using namespace tessella;

namespace {

// A descriptor 0, 1 or 2 the caller closed (`2>&-`) would go to the first file the program
// opens, and a message meant for standard error would then be written into it. Each closed one
// is opened on /dev/null instead; false if that is impossible.
bool OpenStandardDescriptors() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
            continue;
        }
        // The lower ones are open, so this one is the lowest free descriptor.
        const int opened = ::open("/dev/null", O_RDWR);
        if (opened != fd) {
            if (opened >= 0) {
                close(opened);
            }
            return false;
        }
    }
    return true;
}

// Whether two jobs of the run would write one file, or one would write over another's source;
// the message names them. A decrypted file's name is read from its header with the password.
std::string FindClash(const std::vector<std::unique_ptr<CliJob>>& jobs,
                      const std::string& password) {
    if (jobs.size() < 2) {
        return std::string();
    }
    std::vector<PlannedJob> plan;
    for (const std::unique_ptr<CliJob>& job : jobs) {
        plan.push_back({job->source, job->PlannedDestination(password)});
    }
    return FindOutputClash(plan);
}

// Usage messages quote what was typed, which may hold any byte.
int UsageError(const std::string& message) {
    std::fprintf(stderr, "tessella-cli: %s\nTry 'tessella-cli --help'.\n",
                 StringUtils::EscapeControls(message).c_str());
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

// What the command line names: SOURCE DESTINATION, or SOURCE... with a last argument that is a
// folder to write into.
struct Targets {
    std::vector<std::string> sources;
    std::string folder;
    std::string destination;
};

Targets SplitTargets(const std::vector<std::string>& paths) {
    Targets targets{paths, std::string(), std::string()};
    std::vector<std::string>& sources = targets.sources;
    if (sources.size() >= 2 && FileUtils::IsDirectory(sources.back())) {
        targets.folder = sources.back();
        sources.pop_back();
    } else if (sources.size() == 2) {
        targets.destination = sources.back();
        sources.pop_back();
    }
    return targets;
}

// The default name of an encrypted file, in the folder when one was named; a folder is what
// comes before the last "/".
std::string EncryptedName(CliJob& job, const std::string& source, const std::string& folder) {
    if (folder.empty()) {
        return job.AggiungiSuffix(source, CryptEngine::kSuffix);
    }
    return FileUtils::AddDirSeparator(folder) +
           job.AggiungiSuffix(source.substr(source.rfind('/') + 1), CryptEngine::kSuffix);
}

std::vector<std::unique_ptr<CliJob>> MakeJobs(const CommandLine& cmd, const Targets& targets) {
    const bool encrypting = cmd.action == CommandLine::Action::kEncrypt;
    const bool many = targets.sources.size() > 1;
    std::vector<std::unique_ptr<CliJob>> jobs;
    for (const std::string& source : targets.sources) {
        auto job = std::make_unique<CliJob>();
        job->encryptMode = encrypting;
        job->source = source;
        job->check = encrypting && cmd.check;
        job->force = cmd.force;
        job->label = many ? StringUtils::EscapeControls(source) + ": " : std::string();
        if (!targets.destination.empty()) {
            job->destination = targets.destination;
        } else if (encrypting) {
            job->destination = EncryptedName(*job, source, targets.folder);
        } else {
            job->destinationChoice = CliJob::kSameFolderOriginalName;
            job->restoredFolder = targets.folder;
        }
        jobs.push_back(std::move(job));
    }
    return jobs;
}

struct Password {
    std::string text;
    std::string confirmation;
};

// Editors that save UTF-8 with a byte-order mark put U+FEFF before the first line; it is no part
// of the password. A Latin-1 locale reads those bytes as letters, so it keeps them.
void DropByteOrderMark(const CommandLine& cmd, Password& password) {
    const bool fromText = !cmd.passwordFile.empty() || isatty(STDIN_FILENO) == 0;
    if (fromText && !Latin1::LocaleIsLatin1() && password.text.rfind("\xEF\xBB\xBF", 0) == 0) {
        password.text.erase(0, 3);
        password.confirmation = password.text;
    }
}

// Reads the password in the user's locale and turns it into the system's text. False, with the
// program's exit status in `status`, when it cannot be had.
bool ReadPassword(const CommandLine& cmd, Password& password, int& status) {
    const bool encrypting = cmd.action == CommandLine::Action::kEncrypt;
    const PasswordInput::Result got =
        cmd.passwordFile.empty()
            ? PasswordInput::FromTerminalOrInput(encrypting, password.text, password.confirmation)
            : PasswordInput::FromFile(cmd.passwordFile, password.text);
    if (got == PasswordInput::Result::kTooLong) {
        // The engine's own refusal: the line could only hold a password that is too long.
        std::fprintf(stderr, "ERROR: Password must be at most 15 characters\n");
        status = 1;
        return false;
    }
    if (got != PasswordInput::Result::kOk) {
        status = UsageError(
            "cannot read the password" +
            (cmd.passwordFile.empty() ? std::string() : " file '" + cmd.passwordFile + "'"));
        return false;
    }
    DropByteOrderMark(cmd, password);
    if (!cmd.passwordFile.empty()) {
        password.confirmation = password.text;
    }
    if (!ToSystemText(password.text) || !ToSystemText(password.confirmation)) {
        std::fprintf(stderr,
                     "ERROR: The password may use only Latin-1 characters (letters, digits, "
                     "punctuation and Western European accented letters)\n");
        status = 1;
        return false;
    }
    return true;
}

int RunJobs(std::vector<std::unique_ptr<CliJob>> jobs, const Password& password) {
    const bool many = jobs.size() > 1;
    // Only a user at a terminal can be asked; the password did not come through it otherwise.
    const bool ask = isatty(STDIN_FILENO) != 0 && isatty(STDERR_FILENO) != 0;
    for (const std::unique_ptr<CliJob>& job : jobs) {
        job->password = password.text;
        job->confirmation = password.confirmation;
        job->showProgressBar = !many && isatty(STDERR_FILENO) != 0;
        job->askBeforeReplacing = ask;
    }
    CliBatch batch(std::move(jobs));
    StopSignals::Stop(&batch);
    const bool ok = batch.Run(many);
    // What the jobs committed is final: a signal from here on must not turn it into a failure.
    StopSignals::Finished();
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (!OpenStandardDescriptors()) {
        return 1;
    }
    std::setlocale(LC_CTYPE, "");
    StopSignals::Catch();
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
    const bool encrypting = cmd.action == CommandLine::Action::kEncrypt;
    std::vector<std::unique_ptr<CliJob>> jobs = MakeJobs(cmd, SplitTargets(cmd.paths));
    // Encrypted names are known now, before anyone is asked for a password.
    if (const std::string clash = encrypting ? FindClash(jobs, "") : ""; !clash.empty()) {
        return UsageError(clash);
    }

    std::setlocale(LC_CTYPE, "");
    Password password;
    if (int status = 0; !ReadPassword(cmd, password, status)) {
        return status;
    }
    std::setlocale(LC_CTYPE, "C");
    if (const std::string clash = encrypting ? "" : FindClash(jobs, password.text);
        !clash.empty()) {
        return UsageError(clash);
    }
    return RunJobs(std::move(jobs), password);
}
