// The toolkit's demonstration: one window on the program's screen with a few elements and a
// timer. Runs until its window is closed.
#include "DemoForm.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"

using namespace tessella;

int main() {
    OrvScreen screen("Tessella Cross Edition");
    DemoForm::LoadPalette(&screen);
    {
        DemoForm window(&screen);
        window.Show();
        if (!window.IsLoad()) {
            return 1;
        }
        Application::Run(&window);
    }
    screen.Close();
    return 0;
}
