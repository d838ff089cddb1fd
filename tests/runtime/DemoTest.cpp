#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "RuntimeFixtures.h"
#include "examples/DemoForm.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"

TEST(Demo, TimerAndClicksShowOnTheScreen) {
    OrvScreen screen("Tessella Cross Edition");
    ASSERT_NE(screen.GetHandle(), nullptr);
    DemoForm::LoadPalette(&screen);
    DemoForm form(&screen);
    form.Show();
    ASSERT_TRUE(form.IsLoad());
    Window* w = form.GetHandle();
    const tagPOINT box = form.Box()->GetPosition();
    const int x = w->LeftEdge + box.x + 60;
    const int y = w->TopEdge + box.y + 60;
    LONG before = -2, after = -2, beforeColour = -2;
    std::thread person([&] {
        PlatformTest::WaitIdle();
        before = PlatformTest::ReadScreenPixel(x, y);
        beforeColour = PlatformTest::ReadScreenColor(x, y);
        PlatformTest::Click(x, y);
        PlatformTest::WaitIdle();
        after = PlatformTest::ReadScreenPixel(x, y);
        std::this_thread::sleep_for(std::chrono::milliseconds(1300));
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
    EXPECT_GE(form.Ticks(), 2);
    EXPECT_EQ(form.Bar()->Width(), 10 + form.Ticks() * 20);
    EXPECT_FALSE(form.IsLoad());
}
