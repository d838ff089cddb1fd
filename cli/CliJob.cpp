#include "CliJob.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <mutex>

#include "FileUtils.h"

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
    if (force) {
        return true;
    }
    if (askBeforeReplacing) {
        std::lock_guard<std::mutex> lock(terminal);
        EndBar();
        std::fprintf(stderr, "%s exists. Replace it? [y/N] ", destination.c_str());
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
    ShowError(destination + ": file exists (use --force to replace it)", FieldFocus::Destination);
    return false;
}
