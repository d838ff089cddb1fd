// The utility: brings the platform up, runs the main window until it closes, takes everything
// down again. A file named on the command line opens as the job's source.
#include <intuition.h>

#include <cstdio>

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
    const std::string title = Startup::WindowTitle();
    OrvScreen* screen = Startup::Up(title);
    auto* window = new FormMain(screen, title);
    if (argc > 1 && window->IsLoad()) {
        window->OpenPath(argv[1]);
    }
    Application::Run(window);
    Startup::SlideAway(screen);
    delete window;
    Startup::Down(screen);
    return 0;
}
