#include "Arguments.h"

#include <algorithm>
#include <cstdlib>

namespace tessella {
namespace {

// A plain decimal number (no sign, no exponent) from 1 to 8.
bool ParseFactor(const std::string& text, double& factor) {
    if (text.empty() || text.find_first_not_of("0123456789.") != std::string::npos ||
        std::count(text.begin(), text.end(), '.') > 1 || text.front() == '.' ||
        text.back() == '.') {
        return false;
    }
    factor = std::strtod(text.c_str(), nullptr);
    return factor >= 1.0 && factor <= 8.0;
}

}  // namespace

const char* Arguments::Usage() {
    return "usage: tessella [--snapshot PNG [--scale FACTOR]] [--] [FILE]\n"
           "       tessella --help | --version\n"
           "\n"
           "Encrypts and decrypts files with a password, in a window. FILE opens as the\n"
           "source: an encrypted file in the Decrypt view, any other in the Encrypt view.\n"
           "\n"
           "  --snapshot PNG  save the screen as PNG once the window is up, then print READY\n"
           "  --scale FACTOR  the snapshot FACTOR times the screen's size, 1 to 8 (e.g. 2, 1.5)\n"
           "  -h, --help      show this help\n"
           "  --version       show the version\n"
           "  --              what follows is a file, even if it starts with '-'\n"
           "\n"
           "Exit status: 0 the window was closed, 1 there is no desktop to open the window\n"
           "on, or the program was stopped by a signal or the loss of the display (a job\n"
           "still running stops and leaves nothing), 2 usage error.\n";
}

const char* Arguments::Version() {
    return TESSELLA_VERSION;
}

Arguments Arguments::Parse(const std::vector<std::string>& args) {
    Arguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            // One source per job: a second file is left out, as of a drop of several files.
            if (parsed.source.empty()) {
                parsed.source = arg;
            }
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            parsed.action = Action::kHelp;
            return parsed;
        } else if (arg == "--version") {
            parsed.action = Action::kVersion;
            return parsed;
        } else if (arg == "--snapshot") {
            if (i + 1 >= args.size()) {
                parsed.action = Action::kUsageError;
                parsed.error = "option '--snapshot' needs a file name";
                return parsed;
            }
            parsed.snapshot = args[++i];
        } else if (arg == "--scale") {
            if (i + 1 >= args.size() || !ParseFactor(args[i + 1], parsed.scale)) {
                parsed.action = Action::kUsageError;
                parsed.error = "option '--scale' needs a factor from 1 to 8";
                return parsed;
            }
            ++i;
        } else {
            parsed.action = Action::kUsageError;
            parsed.error = "unknown option '" + arg + "'";
            return parsed;
        }
    }
    if (parsed.scale != 1.0 && parsed.snapshot.empty()) {
        parsed.action = Action::kUsageError;
        parsed.error = "option '--scale' sizes the snapshot: it needs '--snapshot'";
    }
    return parsed;
}

}  // namespace tessella
