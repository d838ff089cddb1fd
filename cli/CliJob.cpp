#include "CliJob.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>

#include "engine/FileUtils.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

constexpr int kBarWidth = 40;

// Jobs that run side by side write whole lines, and ask one question at a time.
std::mutex terminal;

}  // namespace

void CliJob::SetProgress(int value) {
    // Like the window's bar: out-of-range values are clamped, and read back clamped.
    progress = std::clamp(value, 0, 100);
    if (showProgressBar && progress != drawn) {
        DrawBar();
    }
}

void CliJob::DrawBar() {
    drawn = progress;
    const int filled = progress * kBarWidth / 100;
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(kBarWidth - filled), '.');
    std::fprintf(stderr, "\r[%s] %3d%%", bar.c_str(), progress);
    std::fflush(stderr);
}

void CliJob::EndBar() {
    if (drawn >= 0) {
        std::fputc('\n', stderr);
        drawn = -1;
    }
}

void CliJob::ShowError(const std::string& message, FieldFocus /*focus*/) {
    std::lock_guard<std::mutex> lock(terminal);
    EndBar();
    lastError = message;
    std::fprintf(stderr, "%sERROR: %s\n", label.c_str(), message.c_str());
}

void CliJob::ShowMessage(const std::string& message) {
    std::lock_guard<std::mutex> lock(terminal);
    EndBar();
    succeeded = true;
    std::fprintf(stderr, "%s%s\n", label.c_str(), message.c_str());
}

std::string CliJob::RestoredFolder(const std::string& source) {
    return restoredFolder.empty() ? CryptEngine::RestoredFolder(source)
                                  : FileUtils::AddDirSeparator(restoredFolder);
}

bool CliJob::ConfirmReplace(const std::string& destination) {
    if (askBeforeReplacing) {
        std::lock_guard<std::mutex> lock(terminal);
        EndBar();
        std::fprintf(stderr, "%s exists. Replace it? [y/N] ",
                     StringUtils::EscapeControls(destination).c_str());
        std::fflush(stderr);
        std::string answer;
        int c = 0;
        while ((c = std::fgetc(stdin)) != EOF && c != '\n') {
            answer.push_back(static_cast<char>(c));
        }
        if (c == EOF) {
            std::fputc('\n', stderr);
        }
        if (answer == "y" || answer == "Y" || answer == "yes" || answer == "YES") {
            return true;
        }
        // A Ctrl-C at the question is a stop, not a refusal to report.
        if (!running) {
            return false;
        }
    }
    ShowError(
        StringUtils::EscapeControls(destination) + ": file exists (use --force to replace it)",
        FieldFocus::Destination);
    return false;
}

std::string CliJob::PlannedDestination(const std::string& password) {
    if (destinationChoice != kSameFolderOriginalName) {
        return destination;
    }
    // Only a regular file is read ahead, and never by a name that could meanwhile lead to a
    // pipe with no writer.
    const int fd = ::open(source.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return std::string();
    }
    struct stat st {};
    std::string planned;
    // The key the job itself will make: from the password as the job reads it.
    GeneraKey(StringUtils::Trim(password));
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
        GetHeaderFile("/proc/self/fd/" + std::to_string(fd))) {
        planned = RestoredFolder(source) + plainFileName;
    }
    ::close(fd);
    return planned;
}

}  // namespace tessella
