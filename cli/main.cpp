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
    // SOURCE DESTINATION, or SOURCE... with a last argument that is a folder to write into.
    std::vector<std::string> sources = cmd.paths;
    std::string folder;
    std::string destination;
    if (sources.size() >= 2 && FileUtils::IsDirectory(sources.back())) {
        folder = sources.back();
        sources.pop_back();
    } else if (sources.size() == 2) {
        destination = sources.back();
        sources.pop_back();
    }
    const bool many = sources.size() > 1;
    std::vector<std::unique_ptr<CliJob>> jobs;
    for (const std::string& source : sources) {
        auto job = std::make_unique<CliJob>();
        job->encryptMode = encrypting;
        job->source = source;
        job->check = encrypting && cmd.check;
        job->force = cmd.force;
        job->label = many ? StringUtils::EscapeControls(source) + ": " : std::string();
        if (!destination.empty()) {
            job->destination = destination;
        } else if (encrypting) {
            // The default name, in the folder when one was named; a folder is what comes
            // before the last "/".
            job->destination = folder.empty()
                                   ? job->AggiungiSuffix(source, CryptEngine::kSuffix)
                                   : FileUtils::AddDirSeparator(folder) +
                                         job->AggiungiSuffix(source.substr(source.rfind('/') + 1),
                                                             CryptEngine::kSuffix);
        } else {
            job->destinationChoice = CliJob::kSameFolderOriginalName;
            job->restoredFolder = folder;
        }
        jobs.push_back(std::move(job));
    }
    // Encrypted names are known now, before anyone is asked for a password.
    if (const std::string clash = encrypting ? FindClash(jobs, "") : ""; !clash.empty()) {
        return UsageError(clash);
    }

    std::setlocale(LC_CTYPE, "");
    std::string password;
    std::string confirmation;
    const PasswordInput::Result got =
        cmd.passwordFile.empty()
            ? PasswordInput::FromTerminalOrInput(encrypting, password, confirmation)
            : PasswordInput::FromFile(cmd.passwordFile, password);
    if (got == PasswordInput::Result::kTooLong) {
        // The engine's own refusal: the line could only hold a password that is too long.
        std::fprintf(stderr, "ERROR: Password must be at most 15 characters\n");
        return 1;
    }
    if (got != PasswordInput::Result::kOk) {
        return UsageError("cannot read the password" + (cmd.passwordFile.empty()
                                                            ? std::string()
                                                            : " file '" + cmd.passwordFile + "'"));
    }
    // Editors that save UTF-8 with a byte-order mark put U+FEFF before the first line; it is no
    // part of the password. A Latin-1 locale reads those bytes as letters, so it keeps them.
    const bool fromText = !cmd.passwordFile.empty() || isatty(STDIN_FILENO) == 0;
    if (fromText && !Latin1::LocaleIsLatin1() && password.rfind("\xEF\xBB\xBF", 0) == 0) {
        password.erase(0, 3);
        confirmation = password;
    }
    if (!cmd.passwordFile.empty()) {
        confirmation = password;
    }
    if (!ToSystemText(password) || !ToSystemText(confirmation)) {
        std::fprintf(stderr,
                     "ERROR: The password may use only Latin-1 characters (letters, digits, "
                     "punctuation and Western European accented letters)\n");
        return 1;
    }
    std::setlocale(LC_CTYPE, "C");
    if (const std::string clash = encrypting ? "" : FindClash(jobs, password); !clash.empty()) {
        return UsageError(clash);
    }

    // Only a user at a terminal can be asked; the password did not come through it otherwise.
    const bool ask = isatty(STDIN_FILENO) != 0 && isatty(STDERR_FILENO) != 0;
    for (const std::unique_ptr<CliJob>& job : jobs) {
        job->password = password;
        job->confirmation = confirmation;
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
