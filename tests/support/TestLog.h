#pragma once

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/OpenTextFile.h"
#include "runtime/Application.h"

namespace tessella {

// The program's log, for a test that reads it: a file of this test process alone. The tests of
// one program run side by side in one folder, and with a shared "log.txt" one test's fresh start
// would wipe the lines another has just logged.
namespace TestLog {

inline const std::string& Path() {
    static const struct File {
        std::string path = "log-" + std::to_string(::getpid()) + ".txt";
        ~File() { std::remove(path.c_str()); }
    } file;
    return file.path;
}

// Starts the log afresh, empty, in this process's own file.
inline void Fresh() {
    std::remove(Path().c_str());
    Application::SetLogFile(Path());
}

inline std::vector<std::string> Lines() {
    return OpenTextFile(Path()).GetContenuto();
}

}  // namespace TestLog

}  // namespace tessella
