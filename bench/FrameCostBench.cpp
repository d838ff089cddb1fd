// What a frame of the desktop window costs at the factors it is shown at: the utility's main
// window composed once, then drawn at each factor's size (every screen pixel as a block of
// device pixels, its text drawn again by the font engine), whole, as after opening or a resize,
// and as the band of one changed line of text. Headless: the drawing is the presenter's, not
// the upload to the desktop.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "app/FormMain.h"
#include "platform/intuition/DevicePicture.h"
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
    intuition::Frame frame;
    const double compose = MedianMs(21, [&] { intuition::ComposeFrontScreen(frame); });
    std::printf("compose the screen (800 x 600, %zu lines of text): %.3f ms\n", frame.runs.size(),
                compose);
    for (const double factor : {1.0, 1.5, 2.0, 3.0}) {
        int w;
        int h;
        intuition::DeviceSizeFor(frame, factor, w, h);
        std::vector<ULONG> device(static_cast<size_t>(w) * h);
        // The first drawing at a size also renders its glyphs; it is counted separately.
        const double first = MedianMs(
            1, [&] { intuition::PaintDevice(frame, w, h, 0, 0, 0, w, h, device.data(), w); });
        const double whole = MedianMs(
            21, [&] { intuition::PaintDevice(frame, w, h, 0, 0, 0, w, h, device.data(), w); });
        // The status line's band: one line of 8-pixel text across the window.
        const int y0 = intuition::DeviceEdge(480, frame.height, h);
        const int y1 = intuition::DeviceEdge(492, frame.height, h);
        const double band = MedianMs(
            201, [&] { intuition::PaintDevice(frame, w, h, 0, 0, y0, w, y1, device.data(), w); });
        std::printf(
            "factor %.1f (%d x %d): whole frame %.2f ms (first at this size %.2f ms), "
            "one line's band %.3f ms\n",
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
