// The toolkit's gallery: every control in one window on the program's screen, until the
// utility's own window exists.
//   tessella-gallery [--snapshot FILE]   (FILE: the screen as composed once the window is up)
#include <platform_test.h>

#include <cstdio>
#include <cstring>

#include "DemoForm.h"
#include "GalleryForm.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"

using namespace tessella;

int main(int argc, char** argv) {
    const char* snapshot = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--snapshot") == 0 && i + 1 < argc) {
            snapshot = argv[++i];
        }
    }
    OrvScreen screen("Tessella Cross Edition");
    DemoForm::LoadPalette(&screen);
    {
        GalleryForm window(&screen);
        window.Show();
        if (!window.IsLoad()) {
            return 1;
        }
        if (snapshot != nullptr) {
            PlatformTest::WaitInputDrained();
            PlatformTest::SaveScreenPNG(snapshot);
        }
        std::printf("READY\n");
        std::fflush(stdout);
        Application::Run(&window);
    }
    screen.Close();
    return 0;
}
