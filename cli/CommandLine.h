#pragma once

#include <string>
#include <vector>

namespace tessella {

// The command line of tessella-cli, parsed but not acted on.
class CommandLine {
public:
    enum class Action { kNone, kHelp, kVersion, kEncrypt, kDecrypt };

    // False on a usage error, with the reason in `error`.
    bool Parse(const std::vector<std::string>& args);

    Action action = Action::kNone;
    bool check = true;
    bool force = false;
    std::string passwordFile;
    // Every path after the command; `source` and `destination` are the first two of them.
    std::vector<std::string> paths;
    std::string source;
    std::string destination;
    std::string error;

    static const char* Usage();
};

}  // namespace tessella
