#include "Enviroment.h"

#include <dos.h>
#include <exec.h>
#include <intuition.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <vector>

#include "StringUtils.h"

namespace tessella {

void Enviroment::Beep() {
    DisplayBeep(nullptr);
}

long Enviroment::Shell(std::string command) {
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    return Execute(line.data(), 0, 0);
}

long Enviroment::Shell(std::string command, std::string parameters) {
    return Shell(command + " " + parameters);
}

long Enviroment::Shell(std::string command, std::string parameters, short /*wait*/) {
    return Shell(std::move(command), std::move(parameters));
}

std::string Enviroment::PathTemp() {
    std::error_code ec;
    const std::filesystem::path dir = std::filesystem::temp_directory_path(ec);
    return ec ? std::string("/tmp") : dir.string();
}

uint64_t Enviroment::MemoryTotal() {
    return AvailMem(MEMF_TOTAL);
}

uint64_t Enviroment::MemoryFree() {
    return AvailMem(MEMF_ANY);
}

std::string Enviroment::WindowsVer() {
    Library* workbench = OpenLibrary("workbench.library", 0);
    if (workbench == nullptr) {
        return std::string();
    }
    const std::string version = StringUtils::IntToStr(workbench->lib_Version);
    CloseLibrary(workbench);
    return version;
}

int16_t Enviroment::Randomize = 0;

int Enviroment::Random(int low, int high) {
    if (Randomize == 0) {
        std::srand(static_cast<unsigned>(std::time(nullptr)));
        Randomize = 1;
    }
    // An empty range has one sensible answer: its lower end.
    if (high <= low) {
        return low;
    }
    return low + std::rand() % (high - low + 1);
}

std::string Enviroment::Folder(const char* name) {
    if (access(name, F_OK) != 0) {
        mkdir(name, 0777);
    }
    return name;
}

}  // namespace tessella
