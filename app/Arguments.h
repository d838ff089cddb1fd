#pragma once

#include <string>
#include <vector>

namespace tessella {

// The window program's command line, parsed but not acted on:
//   tessella [--snapshot PNG [--scale FACTOR]] [--] [FILE]
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
    // The snapshot's size, as a factor of the screen's: its text drawn again at that size.
    double scale = 1.0;
    std::string error;

    static const char* Usage();
    static const char* Version();
};

}  // namespace tessella
