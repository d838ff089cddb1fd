#include "PasswordInput.h"

#include <termios.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>

namespace {

// The terminal's settings while a question has echo off; read by signal handlers.
termios savedTerminal{};
volatile std::sig_atomic_t echoOff = 0;

std::string ReadLine(std::FILE* in) {
    std::string line;
    for (int c = std::fgetc(in); c != EOF && c != '\n'; c = std::fgetc(in)) {
        line.push_back(static_cast<char>(c));
    }
    return PasswordInput::FirstLine(line);
}

std::string AskWithoutEcho(const char* prompt) {
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
    const std::string line = ReadLine(stdin);
    PasswordInput::RestoreTerminal();
    return line;
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
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return Result::kUnreadable;
    }
    std::string line;
    std::getline(in, line);
    if (in.bad()) {
        return Result::kUnreadable;
    }
    password = FirstLine(line);
    return Result::kOk;
}

PasswordInput::Result PasswordInput::FromTerminalOrInput(bool confirm, std::string& password,
                                                         std::string& confirmation) {
    if (!isatty(STDIN_FILENO)) {
        password = ReadLine(stdin);
        confirmation = password;
        return std::ferror(stdin) ? Result::kUnreadable : Result::kOk;
    }
    password = AskWithoutEcho("Password: ");
    confirmation = confirm ? AskWithoutEcho("Confirm password: ") : password;
    return Result::kOk;
}
