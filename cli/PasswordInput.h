#pragma once

#include <cstddef>
#include <string>

namespace tessella {

// Where a password comes from, in order of preference: a file named on the command line, the
// terminal (without echo), or the first line of standard input.
class PasswordInput {
public:
    enum class Result { kOk, kUnreadable, kTooLong };

    // The longest line read as a password. A password has at most 15 characters, two bytes each
    // in UTF-8, but blanks around it are dropped later: the bound is generous, and only there to
    // keep an endless input from filling memory. A longer line is kTooLong.
    static constexpr size_t kMaxLineBytes = 1024;

    // The first line of `path`, without its line end.
    static Result FromFile(const std::string& path, std::string& password);
    // Asks on the terminal when standard input is one (twice when `confirm` is set, filling
    // `confirmation`); otherwise reads the first line of standard input.
    static Result FromTerminalOrInput(bool confirm, std::string& password,
                                      std::string& confirmation);
    // The first line of a text, without "\n" or "\r\n".
    static std::string FirstLine(const std::string& text);
    // Gives the terminal its echo back if a question left it off. Safe in a signal handler, so
    // that a signal at the prompt never leaves the user typing blind.
    static void RestoreTerminal();
};

}  // namespace tessella
