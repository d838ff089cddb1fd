#pragma once
// The fuzzer's input as a file the code under test can open by path: one memory file per
// target, rewritten for every input.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace tessella {

inline std::string InputAsFile(const uint8_t* data, size_t size) {
    static const int fd = memfd_create("fuzz-input", 0);
    if (fd < 0 || ftruncate(fd, 0) != 0 ||
        pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) {
        std::abort();  // the harness itself failed
    }
    return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace tessella
