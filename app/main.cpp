// The utility: brings the platform up, runs the main window until it closes, takes everything
// down again. A file named on the command line opens as the job's source.
//   tessella [--snapshot PNG] [--] [FILE]   (PNG: the screen as composed once the window is
//                                            up, for tests that must know when the desktop
//                                            shows it)
//   tessella --help | --version
#include <dos.h>
#include <intuition.h>
#include <platform_test.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Arguments.h"
#include "FormMain.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "runtime/Startup.h"

using namespace tessella;

namespace {

// Why the program was asked to stop, for the one line it leaves on standard error.
std::string StopReason(LONG why) {
    if (why == STOP_DISPLAYLOST) {
        return "the desktop's display was lost";
    }
    const char* name = strsignal(static_cast<int>(why));
    return std::string("stopped by a signal (") + (name != nullptr ? name : "unknown") + ")";
}

}  // namespace

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
    // Before any other thread: a logout, a kill or a lost display then stops the job and ends
    // the program in order, instead of killing it halfway.
    CatchStopSignals();
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
        PlatformTest::SaveScreenPNG(args.snapshot.c_str(), args.scale);
        std::printf("READY\n");
        std::fflush(stdout);
    }
    Application::Run(window);
    const LONG stop = StopRequested();
    if (stop == 0) {
        Startup::SlideAway(screen);
    }
    delete window;  // a job still running stops here and leaves nothing behind
    Startup::Down(screen);
    if (stop != 0) {
        const std::string line =
            "tessella: " + StopReason(stop) + "; any job in progress was stopped.";
        std::fprintf(stderr, "%s\n", line.c_str());
        if (stop == STOP_DISPLAYLOST) {
            // A thread of the display's library stays inside it for good, holding its locks,
            // and that library's exit handlers would wait for them for ever. Everything of the
            // program's own is closed by now.
            std::fflush(nullptr);
            std::_Exit(1);
        }
        return 1;
    }
    return 0;
}
