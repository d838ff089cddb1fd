#pragma once

#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace tessella {

// In a child process: becomes tessella-cli running in `dir`.
[[noreturn]] inline void ExecCli(const TempDir& dir, const std::vector<std::string>& args) {
    if (chdir(dir.Path("").c_str()) != 0) {
        _exit(99);
    }
    std::vector<char*> argv{const_cast<char*>(TESSELLA_CLI)};
    for (const std::string& a : args) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    execv(TESSELLA_CLI, argv.data());
    _exit(98);
}

}  // namespace tessella
