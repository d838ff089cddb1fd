#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>
#include <thread>

#include "RuntimeFixtures.h"
#include "runtime/Timer.h"

using namespace tessella;

TEST(EventLoop, IdleLoopUsesAlmostNoCpu) {
    TraceForm main("main");
    main.SetPosition(40, 40);
    main.SetSize(400, 300);
    main.Show();
    ASSERT_TRUE(main.IsLoad());
    Timer timer(&main, 1000);
    timer.Start();
    double busy = 0;
    RunWith(main, [&] {
        rusage before{};
        getrusage(RUSAGE_SELF, &before);
        // Real time: the CPU the idle loop uses is measured over a real second.
        std::this_thread::sleep_for(std::chrono::seconds(1));
        rusage after{};
        getrusage(RUSAGE_SELF, &after);
        auto seconds = [](const rusage& r) {
            return r.ru_utime.tv_sec + r.ru_stime.tv_sec +
                   (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
        };
        busy = seconds(after) - seconds(before);
    });
    std::printf("CPU over one idle second: %.3f ms (%.3f%% of one core)\n", busy * 1000,
                busy * 100);
    EXPECT_LT(busy, 0.02);
}
