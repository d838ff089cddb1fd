// The utility: brings the platform up, runs the main window until it closes, takes everything
// down again. A file named on the command line opens as the job's source.
//   tessella [--snapshot PNG] [FILE]   (PNG: the screen as composed once the window is up, for
//                                       tests that must know when the desktop shows it)
#include <intuition.h>
#include <platform_test.h>

#include <cstdio>
#include <cstring>

#include "Application.h"
#include "FormMain.h"
#include "OrvScreen.h"
#include "Startup.h"

int main(int argc, char** argv) {
    // With no desktop to show it on, the window could be neither seen nor closed.
    if (!ScreensOnDesktop()) {
        std::fputs("tessella: there is no desktop to open the window on.\n", stderr);
        return 1;
    }
    const char* snapshot = nullptr;
    const char* source = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--snapshot") == 0 && i + 1 < argc) {
            snapshot = argv[++i];
        } else if (source == nullptr) {
            source = argv[i];
        }
    }
    const std::string title = Startup::WindowTitle();
    OrvScreen* screen = Startup::Up(title);
    auto* window = new FormMain(screen, title);
    if (source != nullptr && window->IsLoad()) {
        window->OpenPath(source);
    }
    if (snapshot != nullptr) {
        PlatformTest::WaitInputDrained();
        PlatformTest::SaveScreenPNG(snapshot);
        std::printf("READY\n");
        std::fflush(stdout);
    }
    Application::Run(window);
    Startup::SlideAway(screen);
    delete window;
    Startup::Down(screen);
    return 0;
}
