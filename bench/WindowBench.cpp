// The utility's window: how long from the program's start to its first frame, and how much CPU
// it uses while it waits with no job. Headless: the frame is the screen the presenter composes.
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "Application.h"
#include "FormMain.h"
#include "OrvScreen.h"
#include "Startup.h"
#include "intuition/Presenter.h"
#include "platform_test.h"

namespace {

double CpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main() {
    const auto start = std::chrono::steady_clock::now();
    const std::string title = Startup::WindowTitle();
    OrvScreen* screen = Startup::Up(title);
    auto* window = new FormMain(screen, title);
    double firstFrameMs = 0;
    double idleCpuPercent = 0;
    std::thread watcher([&] {
        PlatformTest::WaitIdle();
        tessella::intuition::Frame frame;
        tessella::intuition::ComposeFrontScreen(frame);
        firstFrameMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count();
        const double before = CpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(3));
        idleCpuPercent = (CpuSeconds() - before) / 3.0 * 100.0;
        InputEvent close{};
        close.ie_Class = IECLASS_CLOSEWINDOW;
        tessella::intuition::PostInputEvent(close);
        PlatformTest::AnswerRequester(0);
    });
    Application::Run(window);
    watcher.join();
    delete window;
    Startup::Down(screen);
    std::printf("launch to first frame: %.1f ms (goal < 150 ms)\n", firstFrameMs);
    std::printf("idle CPU over 3 s, no job: %.3f %% of a core (goal about 0)\n", idleCpuPercent);
    return 0;
}
