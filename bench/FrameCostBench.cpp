// What a frame of the desktop window costs at the factors it is shown at: the utility's main
// window composed and drawn at each factor's size (every screen pixel as a block of
// device pixels, its text drawn again by the font engine), whole, as after opening or a resize,
// and as the band of one changed line of text. Headless: the drawing is the presenter's, not
// the upload to the desktop.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/FormMain.h"
#include "platform_test.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "runtime/Startup.h"

using namespace tessella;

namespace {

using Clock = std::chrono::steady_clock;

// The median of `runs` timings of `work`, in milliseconds.
template <typename Work>
double MedianMs(int runs, Work work) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point start = Clock::now();
        work();
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

void Measure() {
    PlatformTest::WaitIdle();
    std::vector<UBYTE> pens;
    int width = 0;
    const double compose = MedianMs(21, [&] { PlatformTest::ReadScreenPens(&pens, &width); });
    std::printf("compose the screen (800 x 600): %.3f ms\n", compose);
    std::vector<ULONG> device;
    for (const double factor : {1.0, 1.5, 2.0, 3.0}) {
        const int w = static_cast<int>(800 * factor);
        const int h = static_cast<int>(600 * factor);
        // The first drawing at a size also renders its glyphs; it is counted separately.
        const double first = MedianMs(1, [&] { PlatformTest::ReadScreenPicture(w, h, &device); });
        const double whole = MedianMs(21, [&] { PlatformTest::ReadScreenPicture(w, h, &device); });
        // The status line's band: one line of 8-pixel text across the window.
        const int y0 = static_cast<int>(480 * factor);
        const int y1 = static_cast<int>(492 * factor);
        const double band =
            MedianMs(201, [&] { PlatformTest::ReadScreenPicture(w, h, &device, y0, y1); });
        std::printf(
            "factor %.1f (%d x %d): whole frame %.2f ms (first at this size %.2f ms), "
            "one line's band %.3f ms (composing included)\n",
            factor, w, h, whole, first, band);
    }
}

}  // namespace

int main() {
    const std::string title = Startup::WindowTitle();
    OrvScreen* screen = Startup::Up(title);
    auto* window = new FormMain(screen, title);
    std::thread bench([] {
        Measure();
        PlatformTest::CloseDesktopWindow();
        PlatformTest::AnswerRequester(0);
    });
    Application::Run(window);
    bench.join();
    delete window;
    Startup::Down(screen);
    return 0;
}
