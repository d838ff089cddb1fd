#include "Log.h"

#include <cstdio>
#include <mutex>

namespace tessella {

namespace {

std::mutex lock;
// Until start-up names the user's own, the log is "log.txt" in the current folder.
std::string file = "log.txt";

}  // namespace

void Log::Write(const std::string& line) {
    const std::lock_guard<std::mutex> hold(lock);
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (file.empty()) {
        return;
    }
    // Opened for each line, as a line must reach the file even if the program dies next.
    if (std::FILE* f = std::fopen(file.c_str(), "ab")) {
        std::fwrite(line.data(), 1, line.size(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

void Log::SetFile(std::string path) {
    const std::lock_guard<std::mutex> hold(lock);
    file = std::move(path);
}

std::string Log::File() {
    const std::lock_guard<std::mutex> hold(lock);
    return file;
}

}  // namespace tessella
