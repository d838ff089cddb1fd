#pragma once

#include <string>

#include "dos.h"

struct FileHandle {
    int fd = -1;
};

namespace tessella::dos {

// Turns an AROS-style name ("RAM:T/x", "SYS:C/y") into the Linux path that stands in for it.
std::string LinuxPath(const char* name);

}  // namespace tessella::dos
