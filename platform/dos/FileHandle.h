#pragma once

#include <string>

#include "dos.h"

struct FileHandle {
    int fd = -1;
};

namespace tessella::dos {

// Turns an AROS-style name ("RAM:T/x", "SYS:C/y") in the program's Latin-1 text into the
// Linux path (UTF-8) that stands in for it.
std::string LinuxPath(const char* name);

}  // namespace tessella::dos
