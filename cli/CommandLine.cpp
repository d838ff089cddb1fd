#include "CommandLine.h"

namespace tessella {

const char* CommandLine::Usage() {
    return "usage: tessella-cli encrypt [--no-check] [--force] [--password-file FILE] SOURCE "
           "[DESTINATION]\n"
           "       tessella-cli decrypt [--force] [--password-file FILE] SOURCE [DESTINATION]\n"
           "       tessella-cli encrypt|decrypt [OPTIONS] SOURCE... [FOLDER]\n"
           "       tessella-cli --help | --version\n"
           "\n"
           "Encrypts or decrypts files with a password of 8 to 15 characters.\n"
           "\n"
           "  encrypt   writes SOURCE encrypted to DESTINATION (default: SOURCE with its\n"
           "            extension replaced by .velx), then decrypts it again in memory\n"
           "            and compares checksums\n"
           "  decrypt   restores the original file; without DESTINATION it takes the name\n"
           "            stored in the file and goes to the folder of SOURCE\n"
           "  With three paths or more, or two whose last is a folder, every SOURCE goes\n"
           "  to its default name (in FOLDER when the last path is a folder); up to one\n"
           "  job per processor runs at a time.\n"
           "\n"
           "  --no-check            skip the check after encrypting\n"
           "  -f, --force           replace an existing destination without asking\n"
           "  --password-file FILE  take the password from the first line of FILE\n"
           "  -h, --help            show this help\n"
           "  --version             show the version\n"
           "\n"
           "Without --password-file the password is asked on the terminal (twice when\n"
           "encrypting), or read from the first line of standard input.\n"
           "An existing destination is replaced only with --force or when you answer\n"
           "yes on the terminal. Paths are used exactly as given.\n"
           "Exit status: 0 success, 1 a job failed or was interrupted, 2 usage error.\n";
}

bool CommandLine::Parse(const std::vector<std::string>& args) {
    std::vector<std::string> operands;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
            operands.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "-h" || arg == "--help") {
            action = Action::kHelp;
            return true;
        } else if (arg == "--version") {
            action = Action::kVersion;
            return true;
        } else if (arg == "--no-check") {
            check = false;
        } else if (arg == "-f" || arg == "--force") {
            force = true;
        } else if (arg == "--password-file") {
            if (i + 1 >= args.size()) {
                error = "option '--password-file' needs a file name";
                return false;
            }
            passwordFile = args[++i];
        } else if (arg.rfind("--password-file=", 0) == 0) {
            passwordFile = arg.substr(16);
        } else {
            error = "unknown option '" + arg + "'";
            return false;
        }
    }
    if (operands.empty()) {
        error = "missing command (encrypt or decrypt)";
        return false;
    }
    if (operands[0] == "encrypt") {
        action = Action::kEncrypt;
    } else if (operands[0] == "decrypt") {
        action = Action::kDecrypt;
    } else {
        error = "unknown command '" + operands[0] + "'";
        return false;
    }
    if (action == Action::kDecrypt && !check) {
        error = "option '--no-check' applies to encrypt only";
        return false;
    }
    if (operands.size() < 2) {
        error = "missing SOURCE file";
        return false;
    }
    paths.assign(operands.begin() + 1, operands.end());
    source = paths[0];
    destination = paths.size() == 2 ? paths[1] : std::string();
    return true;
}

}  // namespace tessella
