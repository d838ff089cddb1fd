#pragma once

#include <string>
#include <vector>

namespace tessella {

// The window program's command line, parsed but not acted on:
//   tessella [--snapshot PNG] [--] [FILE]
//   tessella --help | --version
// Help, version and usage errors need no desktop: they are answered on the terminal.
class Arguments {
public:
    enum class Action { kRun, kHelp, kVersion, kUsageError };

    static Arguments Parse(const std::vector<std::string>& args);

    Action action = Action::kRun;
    // The file the window opens as its source; empty for none. After "--" every argument is a
    // file, so that a file named like an option can still be opened.
    std::string source;
    // Where the screen goes as a PNG once the window is up (for tests and the README's pictures).
    std::string snapshot;
    std::string error;

    static const char* Usage();
    static const char* Version();
};

}  // namespace tessella
