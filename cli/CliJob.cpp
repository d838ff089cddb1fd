#include "CliJob.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kBarWidth = 40;

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
    EndBar();
    lastError = message;
    std::fprintf(stderr, "ERROR: %s\n", message.c_str());
}

void CliJob::ShowMessage(const std::string& message) {
    EndBar();
    succeeded = true;
    std::fprintf(stderr, "%s\n", message.c_str());
}
