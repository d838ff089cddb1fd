// The utility's window: how long from launching the program to its first frame, and how much
// CPU it uses while it waits with no job. Headless: the frame is the screen the presenter
// composes.
//
// Each launch is timed from before the program is loaded: the bench starts itself again with
// the time of the exec in its environment, so loading the libraries counts too.
// The window paints itself once all its controls are made, just before the event loop first
// waits for input; that moment is taken as the first frame.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "app/FormMain.h"
#include "platform_test.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "runtime/Startup.h"

using namespace tessella;

namespace {

constexpr const char* kLaunchVar = "TESSELLA_BENCH_LAUNCH_NS";
constexpr const char* kIdleVar = "TESSELLA_BENCH_IDLE";
constexpr int kLaunches = 7;

double CpuSeconds() {
    rusage use{};
    getrusage(RUSAGE_SELF, &use);
    return static_cast<double>(use.ru_utime.tv_sec + use.ru_stime.tv_sec) +
           static_cast<double>(use.ru_utime.tv_usec + use.ru_stime.tv_usec) / 1e6;
}

// One launch, in the program started by the bench: prints "FRAME-ms IDLE-%" (IDLE -1 when not
// measured).
int MeasureOneLaunch(const char* launched) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point start{std::chrono::nanoseconds(std::strtoll(launched, nullptr, 10))};
    const auto since = [&](Clock::time_point t) {
        return std::chrono::duration<double, std::milli>(t - start).count();
    };

    const std::string title = Startup::WindowTitle();
    OrvScreen* screen = Startup::Up(title);
    auto* window = new FormMain(screen, title);
    double readyMs = 0;
    double idleCpuPercent = -1;
    const bool measureIdle = std::getenv(kIdleVar) != nullptr;
    std::thread watcher([&] {
        PlatformTest::WaitIdle();
        PlatformTest::ComposeDesktopFrame();
        readyMs = since(Clock::now());
        if (measureIdle) {
            const double before = CpuSeconds();
            std::this_thread::sleep_for(std::chrono::seconds(3));
            idleCpuPercent = (CpuSeconds() - before) / 3.0 * 100.0;
        }
        PlatformTest::CloseDesktopWindow();
        PlatformTest::AnswerRequester(0);
    });
    Application::Run(window);
    watcher.join();
    delete window;
    Startup::Down(screen);
    std::printf("%.3f %.4f\n", readyMs, idleCpuPercent);
    return 0;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace

int main(int, char** argv) {
    if (const char* launched = std::getenv(kLaunchVar)) {
        return MeasureOneLaunch(launched);
    }
    std::vector<double> frames;
    double idle = -1;
    for (int i = 0; i < kLaunches; ++i) {
        int out[2];
        if (pipe(out) != 0) {
            std::perror("window_bench: pipe");
            return 1;
        }
        const pid_t child = fork();
        if (child == 0) {
            dup2(out[1], STDOUT_FILENO);
            close(out[0]);
            close(out[1]);
            if (i == kLaunches - 1) {
                setenv(kIdleVar, "1", 1);
            }
            const auto now = std::chrono::steady_clock::now().time_since_epoch();
            const std::string ns =
                std::to_string(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count());
            setenv(kLaunchVar, ns.c_str(), 1);
            execv("/proc/self/exe", argv);
            std::perror("window_bench: exec");
            _exit(127);
        }
        close(out[1]);
        std::string text;
        char buffer[256];
        for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) {
            text.append(buffer, static_cast<size_t>(n));
        }
        close(out[0]);
        int status = 0;
        waitpid(child, &status, 0);
        double frame = 0, cpu = -1;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
            std::sscanf(text.c_str(), "%lf %lf", &frame, &cpu) != 2) {
            std::fprintf(stderr, "window_bench: launch %d failed\n", i + 1);
            return 1;
        }
        frames.push_back(frame);
        if (cpu >= 0) {
            idle = cpu;
        }
    }
    std::printf("launch to first frame: %.1f ms, median of %d, %.1f to %.1f (goal < 150 ms)\n",
                Median(frames), kLaunches, *std::min_element(frames.begin(), frames.end()),
                *std::max_element(frames.begin(), frames.end()));
    std::printf("idle CPU over 3 s, no job: %.3f %% of a core (goal about 0)\n", idle);
    return 0;
}
