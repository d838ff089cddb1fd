#pragma once

#include <cstdint>
#include <string>

namespace tessella {

// A platform-neutral view of the environment: beep, command lines, well-known folders, memory
// figures and a random number. Operations with no counterpart here return empty or fixed values.
class Enviroment {
public:
    static void Beep();
    static void BeepError() { Beep(); }
    static long Shell(std::string command);
    static long Shell(std::string command, std::string parameters);
    static long Shell(std::string command, std::string parameters, short wait);

    // The Linux counterparts of RAM:T and SYS:.
    static std::string PathTemp();
    static std::string PathSystem() { return "/"; }
    static std::string PathWindows() { return "/"; }
    static std::string PathProgramFiles() { return "c:"; }
    static std::string PathDocuments() { return Folder("Documenti"); }
    static std::string PathDesktop() { return Folder("Desktop"); }
    static std::string PathDownloads() { return Folder("Download"); }
    static std::string PathAppData() { return Folder("Data"); }
    static std::string PathMusic() { return Folder("Musica"); }
    static std::string PathPictures() { return Folder("Immagini"); }
    static std::string PathProgramData() { return Folder("ProgramData"); }
    static std::string PathPublicDesktop() { return PathDesktop(); }

    static uint64_t MemoryTotal();
    static uint64_t MemoryFree();
    static uint64_t MemoryInUse() { return MemoryTotal() - MemoryFree(); }
    static uint64_t MemoryVirtualTotal() { return 0; }
    static uint64_t MemoryVirtualFree() { return 0; }

    static std::string WindowsVer();
    // Seeds the C library's generator on its first call in the process, which sets Randomize
    // (the runtime clears it before every message it dispatches, as Application::Randomize).
    static int Random(int low, int high);
    static int16_t Randomize;

    static std::string GetClipboardText() { return std::string(); }
    static std::string GetLastErrorAsString() { return std::string(); }
    static std::string ComputerName() { return std::string(); }
    static std::string Username() { return std::string(); }
    static std::string CurrentDirerctory() { return std::string(); }
    static std::string GetDrives() { return std::string(); }
    static bool SetClipboardText(std::string /*text*/) { return true; }
    static void Print(std::string /*text*/) {}
    static void SetCurrentDir(std::string /*path*/) {}
    static void GetSpaceDrive(std::string /*drive*/) {}
    static void GetSpaceDriveFree(std::string /*drive*/) {}

private:
    // A folder relative to the current directory, created when nothing of that name exists.
    static std::string Folder(const char* name);
};

}  // namespace tessella
