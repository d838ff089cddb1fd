#include "Startup.h"

#include <exec.h>
#include <fcntl.h>
#include <gadtools.h>
#include <graphics.h>
#include <intuition.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "Application.h"
#include "GUIElement.h"
#include "OrvScreen.h"

namespace tessella {

Library* Startup::bases[7] = {};

namespace {

struct LibraryName {
    const char* name;
    const char* failure;
};

// Opening order; closing goes intuition, gadtools, graphics, then the rest as opened.
constexpr LibraryName kLibraries[7] = {
    {"intuition.library", "Can't open intuition.library!"},
    {"graphics.library", "Can't open graphics.library!"},
    {"gadtools.library", "Can't open gadtools.library!"},
    {"locale.library", "Can't open locale.library!"},
    {"keymap.library", "Can't open keymap.library!"},
    {"diskfont.library", "Can't open diskfont.library!"},
    {"asl.library", "Can't open asl.library!"},
};
constexpr int kCloseOrder[7] = {0, 2, 1, 3, 4, 5, 6};

using Rgb = std::array<int, 3>;

// The pens the toolkit and the windows name by number.
constexpr Rgb kNamedPens[32] = {{192, 192, 192}, {0, 0, 0},       {255, 255, 255}, {0, 166, 214},
                                {0, 0, 255},     {207, 59, 118},  {0, 255, 255},   {150, 75, 0},
                                {255, 165, 0},   {128, 255, 128}, {255, 255, 0},   {153, 17, 153},
                                {200, 160, 200}, {0, 255, 0},     {255, 255, 85},  {0, 170, 0},
                                {239, 239, 239}, {255, 0, 0},     {211, 211, 211}, {255, 253, 229},
                                {183, 183, 183}, {171, 171, 171}, {155, 155, 155}, {143, 143, 143},
                                {127, 127, 127}, {115, 115, 115}, {103, 103, 103}, {87, 87, 87},
                                {75, 75, 75},    {59, 59, 59},    {47, 47, 47},    {35, 35, 35}};

class PaletteBuilder {
public:
    PaletteBuilder() {
        for (int pen = 0; pen < 32; ++pen) {
            pens[pen] = kNamedPens[pen];
        }
        // Ramps: each from its first colour to its last, evenly.
        Ramp(32, 16, {255, 0, 0}, {64, 0, 0});
        Ramp(48, 8, {255, 210, 210}, {255, 0, 0});
        Ramp(56, 8, {255, 200, 120}, {140, 70, 0});
        Ramp(64, 8, {255, 255, 215}, {255, 255, 0});
        Ramp(72, 8, {240, 240, 0}, {96, 96, 0});
        Ramp(80, 8, {210, 255, 80}, {80, 128, 0});
        Ramp(88, 8, {215, 255, 215}, {0, 255, 0});
        Ramp(96, 16, {0, 255, 0}, {0, 64, 0});
        Ramp(112, 8, {215, 255, 255}, {0, 255, 255});
        Ramp(120, 8, {0, 224, 224}, {0, 80, 80});
        Ramp(128, 8, {200, 235, 255}, {40, 120, 200});
        Ramp(136, 8, {215, 215, 255}, {0, 0, 255});
        Ramp(144, 16, {0, 0, 255}, {0, 0, 64});
        Ramp(160, 8, {230, 200, 255}, {140, 0, 220});
        Ramp(168, 8, {120, 0, 190}, {40, 0, 70});
        Ramp(176, 8, {255, 210, 255}, {255, 0, 255});
        Ramp(184, 8, {220, 0, 220}, {70, 0, 70});
        Ramp(192, 32, {255, 233, 222}, {33, 0, 0});
        for (int i = 0; i < 8; ++i) {
            pens[224 + i] = Hue(i * 360 / 8, 80, 255);
        }
        for (int i = 0; i < 21; ++i) {
            pens[232 + i] = Hue(i * 360 / 21, 255, 199);
        }
        pens[253] = {255, 255, 0};
        pens[254] = {199, 43, 43};
        pens[255] = {255, 255, 255};
    }

    std::array<Rgb, 256> pens{};

private:
    void Ramp(int first, int count, Rgb from, Rgb to) {
        for (int i = 0; i < count; ++i) {
            for (int c = 0; c < 3; ++c) {
                pens[first + i][c] = from[c] + (to[c] - from[c]) * i / (count - 1);
            }
        }
    }

    // A hue in degrees at a saturation and level of 0..255: the strongest component is level.
    static Rgb Hue(int degrees, int saturation, int level) {
        const int sector = degrees / 60;
        const int within = degrees % 60;
        const int low = level * (255 - saturation) / 255;
        const int rising = low + (level - low) * within / 60;
        const int falling = level - (level - low) * within / 60;
        switch (sector) {
            case 0:
                return {level, rising, low};
            case 1:
                return {falling, level, low};
            case 2:
                return {low, level, rising};
            case 3:
                return {low, falling, level};
            case 4:
                return {rising, low, level};
            default:
                return {level, low, falling};
        }
    }
};

const PaletteBuilder& Palette() {
    static const PaletteBuilder palette;
    return palette;
}

bool MakePrivateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0) {
        return true;
    }
    struct stat st {};
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::string Startup::WindowTitle() {
    return std::string(kProgramName) + " " + kCopyright;
}

std::string Startup::StateFolder() {
    std::string base;
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state != nullptr && state[0] == '/') {
        base = state;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] != '/') {
            return std::string();
        }
        // The parents are the user's usual folders: made as the desktop makes them.
        base = std::string(home) + "/.local";
        mkdir(base.c_str(), 0700);
        base += "/state";
        mkdir(base.c_str(), 0700);
    }
    const std::string folder = base + "/tessella";
    return MakePrivateFolder(folder) ? folder : std::string();
}

void Startup::PrepareLog() {
    const std::string folder = StateFolder();
    if (folder.empty()) {
        // Lines still reach standard output; no file is written anywhere else instead.
        Application::SetLogFile(std::string());
        return;
    }
    const std::string log = folder + "/log.txt";
    std::remove(log.c_str());
    // Created at once, readable by the user alone, so that every run leaves its log.
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd >= 0) {
        close(fd);
    }
    Application::SetLogFile(log);
}

void Startup::OpenLibraries() {
    for (int i = 0; i < 7; ++i) {
        if (bases[i] == nullptr) {
            bases[i] = OpenLibrary(kLibraries[i].name, 0);
        }
        if (bases[i] == nullptr) {
            Application::Log(kLibraries[i].failure);
        }
    }
}

void Startup::CloseLibraries() {
    for (int i : kCloseOrder) {
        if (bases[i] != nullptr) {
            CloseLibrary(bases[i]);
            bases[i] = nullptr;
        }
    }
}

unsigned long Startup::PenColour(int pen) {
    if (pen < 0 || pen > 255) {
        return 0;
    }
    const Rgb& c = Palette().pens[pen];
    return (static_cast<unsigned long>(c[0]) << 16) | (static_cast<unsigned long>(c[1]) << 8) |
           static_cast<unsigned long>(c[2]);
}

void Startup::LoadPalette(OrvScreen* screen) {
    if (screen == nullptr || screen->GetHandle() == nullptr) {
        return;
    }
    // Count and first pen, three 32-bit components per pen (the level in the top byte), then 0.
    static ULONG table[1 + 256 * 3 + 1];
    table[0] = 256UL << 16;
    for (int pen = 0; pen < 256; ++pen) {
        for (int c = 0; c < 3; ++c) {
            table[1 + pen * 3 + c] = static_cast<ULONG>(Palette().pens[pen][c]) << 24;
        }
    }
    table[1 + 256 * 3] = 0;
    LoadRGB32(&screen->GetHandle()->ViewPort, table);
    WaitTOF();
}

OrvScreen* Startup::Up(const std::string& title) {
    PrepareLog();
    OpenLibraries();
    auto* screen = new OrvScreen(title.c_str());
    LoadPalette(screen);
    return screen;
}

void Startup::SlideAway(OrvScreen* screen) {
    if (screen != nullptr) {
        screen->Scrolling();
    }
}

void Startup::Down(OrvScreen* screen) {
    if (GUIElement::GlobalVisualInfo != nullptr) {
        FreeVisualInfo(GUIElement::GlobalVisualInfo);
        GUIElement::GlobalVisualInfo = nullptr;
    }
    if (screen != nullptr) {
        if (!screen->Close()) {
            Application::Log("Chiusura screen non riuscita");
        }
        delete screen;
    }
    CloseLibraries();
}

}  // namespace tessella
