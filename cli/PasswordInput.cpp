#include "PasswordInput.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>

namespace tessella {

namespace {

// The terminal's settings while a question has echo off; read by signal handlers.
termios savedTerminal{};
volatile std::sig_atomic_t echoOff = 0;

// The first line of `in`, without its line end. False, with the reading stopped there, when the
// line runs past kMaxLineBytes: an endless input (`< /dev/zero`) must not hold the program.
bool ReadLine(std::FILE* in, std::string& line) {
    line.clear();
    for (int c = std::fgetc(in); c != EOF && c != '\n'; c = std::fgetc(in)) {
        if (line.size() == PasswordInput::kMaxLineBytes) {
            line.clear();
            return false;
        }
        line.push_back(static_cast<char>(c));
    }
    line = PasswordInput::FirstLine(line);
    return true;
}

bool AskWithoutEcho(const char* prompt, std::string& line) {
    std::fputs(prompt, stderr);
    std::fflush(stderr);
    termios saved{};
    const bool tty = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (tty) {
        savedTerminal = saved;
        echoOff = 1;
        termios quiet = saved;
        quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
        quiet.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    }
    const bool ok = ReadLine(stdin, line);
    // TCSAFLUSH also drops whatever is left of a line too long to keep.
    PasswordInput::RestoreTerminal();
    return ok;
}

}  // namespace

void PasswordInput::RestoreTerminal() {
    if (echoOff != 0) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &savedTerminal);
        echoOff = 0;
    }
}

std::string PasswordInput::FirstLine(const std::string& text) {
    std::string line = text.substr(0, text.find('\n'));
    if (!line.empty() && line.back() == '\r') {
        line.pop_back();
    }
    return line;
}

PasswordInput::Result PasswordInput::FromFile(const std::string& path, std::string& password) {
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr) {
        return Result::kUnreadable;
    }
    const bool fits = ReadLine(in, password);
    const bool failed = std::ferror(in) != 0;
    std::fclose(in);
    if (failed) {
        return Result::kUnreadable;
    }
    return fits ? Result::kOk : Result::kTooLong;
}

PasswordInput::Result PasswordInput::FromTerminalOrInput(bool confirm, std::string& password,
                                                         std::string& confirmation) {
    if (!isatty(STDIN_FILENO)) {
        const bool fits = ReadLine(stdin, password);
        confirmation = password;
        if (std::ferror(stdin)) {
            return Result::kUnreadable;
        }
        return fits ? Result::kOk : Result::kTooLong;
    }
    if (!AskWithoutEcho("Password: ", password)) {
        return Result::kTooLong;
    }
    if (!confirm) {
        confirmation = password;
    } else if (!AskWithoutEcho("Confirm password: ", confirmation)) {
        return Result::kTooLong;
    }
    return Result::kOk;
}

}  // namespace tessella
