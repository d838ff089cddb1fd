#include <gtest/gtest.h>

#include <thread>

#include "RuntimeFixtures.h"
#include "examples/DemoForm.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "tests/support/VirtualClock.h"

using namespace tessella;

TEST(Demo, TimerAndClicksShowOnTheScreen) {
    OrvScreen screen("Tessella Cross Edition");
    ASSERT_NE(screen.GetHandle(), nullptr);
    DemoForm::LoadPalette(&screen);
    DemoForm form(&screen);
    VirtualClock clock;
    // The window starts its half-second timer as it opens, which pauses it for 100 ms.
    VirtualClock::ThroughDelay(100, [&] { form.Show(); });
    ASSERT_TRUE(form.IsLoad());
    Window* w = form.GetHandle();
    const tagPOINT box = form.Box()->GetPosition();
    const int x = w->LeftEdge + box.x + 60;
    const int y = w->TopEdge + box.y + 60;
    LONG before = -2, after = -2, beforeColour = -2;
    int ticksBefore = -1;
    int stepsTicked = 0;
    std::thread person([&] {
        PlatformTest::WaitIdle();
        before = PlatformTest::ReadScreenPixel(x, y);
        beforeColour = PlatformTest::ReadScreenColor(x, y);
        PlatformTest::Click(x, y);
        PlatformTest::WaitIdle();
        after = PlatformTest::ReadScreenPixel(x, y);
        ticksBefore = form.Ticks();
        // Two ticks: 400 ms after the pause, then the interval again once it is armed anew.
        stepsTicked += PlatformTest::AdvanceClock(399);
        stepsTicked += PlatformTest::AdvanceClock(1) * 10;
        PlatformTest::WaitTimerRequests(1);
        stepsTicked += PlatformTest::AdvanceClock(500) * 100;
        PlatformTest::WaitTimerRequests(1);
        PlatformTest::WaitIdle();
        PlatformTest::SaveScreenPNG("demo-screen.png");
        PlatformTest::TypeKey(0x10);  // q
        PlatformTest::WaitIdle();
    });
    Application::Run(&form);
    person.join();
    EXPECT_EQ(before, 3);
    EXPECT_EQ(after, 4);
    EXPECT_EQ(beforeColour, 0x00A6D6);
    EXPECT_EQ(ticksBefore, 0);
    EXPECT_EQ(stepsTicked, 110);  // at the steps that reached 500 and 1000 ms, not before
    EXPECT_EQ(form.Ticks(), 2);
    EXPECT_EQ(form.Bar()->Width(), 10 + form.Ticks() * 20);
    EXPECT_FALSE(form.IsLoad());
}
