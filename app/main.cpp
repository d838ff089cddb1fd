// The utility: brings the platform up, runs the main window until it closes, takes everything
// down again. A file named on the command line opens as the job's source.
//   tessella [--snapshot PNG] [--] [FILE]   (PNG: the screen as composed once the window is
//                                            up, for tests that must know when the desktop
//                                            shows it)
//   tessella --help | --version
#include <intuition.h>
#include <platform_test.h>

#include <cstdio>

#include "Application.h"
#include "Arguments.h"
#include "FormMain.h"
#include "OrvScreen.h"
#include "Startup.h"

int main(int argc, char** argv) {
    const Arguments args = Arguments::Parse(std::vector<std::string>(argv + 1, argv + argc));
    switch (args.action) {
        case Arguments::Action::kHelp:
            std::fputs(Arguments::Usage(), stdout);
            return 0;
        case Arguments::Action::kVersion:
            std::printf("tessella %s\n", Arguments::Version());
            return 0;
        case Arguments::Action::kUsageError:
            std::fprintf(stderr, "tessella: %s\nTry 'tessella --help'.\n", args.error.c_str());
            return 2;
        case Arguments::Action::kRun:
            break;
    }
    // With no desktop to show it on, the window could be neither seen nor closed.
    if (!ScreensOnDesktop()) {
        std::fputs("tessella: there is no desktop to open the window on.\n", stderr);
        return 1;
    }
    const std::string title = Startup::WindowTitle();
    OrvScreen* screen = Startup::Up(title);
    auto* window = new FormMain(screen, title);
    if (!args.source.empty() && window->IsLoad()) {
        window->OpenPath(args.source);
    }
    if (!args.snapshot.empty()) {
        PlatformTest::WaitInputDrained();
        PlatformTest::SaveScreenPNG(args.snapshot.c_str());
        std::printf("READY\n");
        std::fflush(stdout);
    }
    Application::Run(window);
    Startup::SlideAway(screen);
    delete window;
    Startup::Down(screen);
    return 0;
}
