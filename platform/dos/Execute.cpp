#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cctype>
#include <cerrno>
#include <string>

#include "FileHandle.h"
#include "util/StringUtils.h"

extern char** environ;

namespace {

std::string Trimmed(const char* text) {
    std::string s = text;
    const auto first = s.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) {
        return "";
    }
    const auto last = s.find_last_not_of(" \t\r\n");
    return s.substr(first, last - first + 1);
}

bool StartsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// A single word that names a web page or a mail box, as the about box hands over its links.
// Anything else is a command line for the shell.
std::string AddressToOpen(const std::string& command) {
    if (command.empty() || command.find_first_of(" \t;|&<>`$\"'") != std::string::npos) {
        return "";
    }
    if (StartsWith(command, "http://") || StartsWith(command, "https://") ||
        StartsWith(command, "mailto:")) {
        return command;
    }
    if (StartsWith(command, "www.")) {
        return "http://" + command;
    }
    const auto at = command.find('@');
    if (at != std::string::npos && at > 0 && command.find('.', at) != std::string::npos) {
        return "mailto:" + command;
    }
    return "";
}

LONG Spawn(const char* program, char* const argv[], BPTR input, BPTR output) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (input != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, input->fd, 0);
    }
    if (output != nullptr) {
        posix_spawn_file_actions_adddup2(&actions, output->fd, 1);
    }
    pid_t pid;
    // The program may keep its stop signals blocked for a thread of its own to take; what it
    // starts gets them as any program does.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    const int failed = posix_spawnp(&pid, program, &actions, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        return DOSFALSE;
    }
    int status;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    // The shell reports a command it could not find with 127.
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        return DOSFALSE;
    }
    return DOSTRUE;
}

}  // namespace

LONG Execute(CONST_STRPTR command, BPTR input, BPTR output) {
    if (command == nullptr) {
        return DOSFALSE;
    }
    const std::string address = AddressToOpen(Trimmed(command));
    if (!address.empty()) {
        // Handed over as one argument, never through a shell, so the text cannot run anything.
        std::string opener = "xdg-open";
        char* argv[] = {opener.data(), const_cast<char*>(address.c_str()), nullptr};
        return Spawn("xdg-open", argv, input, output);
    }
    std::string shell = "sh";
    std::string flag = "-c";
    // The program's Latin-1 text, for a shell that reads UTF-8 (file names above all).
    std::string line = tessella::StringUtils::Latin1ToUtf8(command);
    char* argv[] = {shell.data(), flag.data(), line.data(), nullptr};
    return Spawn("/bin/sh", argv, input, output);
}
