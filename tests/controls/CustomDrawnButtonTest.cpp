// The self-drawn push button, clicked as a user clicks it.
#include <gtest/gtest.h>
#include <intuition.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "CustomDrawnFixtures.h"
#include "controls/ButtonCustom.h"
#include "tests/support/VirtualClock.h"

using namespace tessella;

namespace {

// What the command saw when it ran.
struct Observed {
    std::atomic<int> commands{0};
    std::atomic<LONG> cornerAtCommand{-1};
    std::atomic<bool> pressedAtCommand{true};
};
Observed seen;

class CustomButton : public ::testing::Test {
protected:
    void SetUp() override {
        seen.commands = 0;
        seen.cornerAtCommand = -1;
        window.Open();
        x = window.Left(20);
        y = window.Top(20);
        button.SetLocation(x, y);
        button.SetSize(120, 30);
        button.SetCommand([](GUIElement* e) {
            auto* b = static_cast<ButtonCustom*>(e);
            seen.commands++;
            seen.pressedAtCommand = b->IsPressed();
            auto* form = static_cast<Form*>(b->GetFormParent());
            const tagPOINT at = b->GetPosition();
            seen.cornerAtCommand = ReadPixel(form->GetHandle()->RPort, at.x, at.y);
        });
        button.Show();
    }

    // The dashed focus mark runs along this row from x + 4.
    std::string FocusRow() {
        std::string s;
        for (int i = 4; i < 12; ++i) {
            s += window.Pen(x + i, y + 2) == 1 ? '1' : '.';
        }
        return s;
    }

    // The caption in the rectangle, a row of '#' (pen 1) and '.' for every pixel line, cut to
    // the columns that hold ink: two captions compare glyph for glyph and line for line.
    std::string Caption(int left, int top, int right, int bottom) {
        int first = right + 1;
        int last = left - 1;
        for (int cx = left; cx <= right; ++cx) {
            if (window.Count(cx, top, cx, bottom, 1) > 0) {
                first = std::min(first, cx);
                last = cx;
            }
        }
        std::string image;
        for (int cy = top; cy <= bottom; ++cy) {
            for (int cx = first; cx <= last; ++cx) {
                image += window.Pen(cx, cy) == 1 ? '#' : '.';
            }
            image += '\n';
        }
        return image;
    }

    ControlsWindow window;
    ButtonCustom button{&window, "Press me"};
    int x = 0;
    int y = 0;
};

}  // namespace

TEST_F(CustomButton, AClickSinksItThenRaisesItThenRunsTheCommand) {
    // Raised at rest: lit top-left edge, dark bottom-right edge, caption in pen 1 in between.
    EXPECT_EQ(window.Seen(x, y), 2);
    EXPECT_EQ(window.Seen(x + 119, y + 29), 1);
    EXPECT_GT(window.Count(x + 6, y + 4, x + 113, y + 25, 1), 20);
    Snapshot("custom_button_normal");

    // The button stays down for 200 ms on the window's task: the clock is stepped through them.
    VirtualClock clock;
    bool sunkWhileHeld = false;
    bool sunkAtTheLastStepBefore = false;
    int commandsBefore = -1;
    RunWithUser(window, [&] {
        auto sunk = [&] { return window.Seen(x, y) == 1 && window.Seen(x + 119, y + 29) == 2; };
        window.ClickAt(x + 60, y + 15);
        ASSERT_TRUE(PlatformTest::WaitDelays(1));
        sunkWhileHeld = sunk();
        PlatformTest::SaveScreenPNG("custom_button_pressed.png");
        EXPECT_EQ(PlatformTest::AdvanceClock(199), 0);  // still held down
        sunkAtTheLastStepBefore = sunk();
        commandsBefore = seen.commands;
        EXPECT_EQ(PlatformTest::AdvanceClock(1), 1);
        PlatformTest::WaitIdle();
        EXPECT_EQ(seen.commands, 1);
        // Released again, and now focused: the dashed mark inside the bevel.
        EXPECT_EQ(window.Seen(x, y), 2);
        EXPECT_EQ(FocusRow(), "11..11..");
        Snapshot("custom_button_focused");
        // A click elsewhere takes the focus away and the mark goes.
        window.ClickAt(window.Left(300), window.Top(300));
        PlatformTest::WaitIdle();
        EXPECT_EQ(FocusRow(), "........");
    });
    EXPECT_TRUE(sunkWhileHeld);
    EXPECT_TRUE(sunkAtTheLastStepBefore);
    EXPECT_EQ(commandsBefore, 0);
    EXPECT_EQ(seen.cornerAtCommand.load(), 2);  // drawn released before the command
    EXPECT_FALSE(seen.pressedAtCommand.load());
}

TEST_F(CustomButton, ADisabledButtonIsGreyAndIgnoresClicksEvenWithTheFocus) {
    RunWithUser(window, [&] {
        window.ClickAt(x + 60, y + 15);  // takes the focus and runs once
        PlatformTest::WaitIdle();
        ASSERT_EQ(seen.commands, 1);
        // Through the element interface, as a window disabling its inputs does.
        GUIElement* element = &button;
        element->SetEnabled(false);
        PlatformTest::WaitIdle();
        EXPECT_EQ(window.Count(x + 6, y + 4, x + 113, y + 25, 1), 0);
        EXPECT_GT(window.Count(x + 6, y + 4, x + 113, y + 25, 22), 20);
        EXPECT_EQ(FocusRow(), "........");
        Snapshot("custom_button_disabled");
        window.ClickAt(x + 60, y + 15);
        PlatformTest::WaitIdle();
        window.ClickAt(x + 60, y + 15);
        PlatformTest::WaitIdle();
        EXPECT_EQ(window.Seen(x, y), 2);
    });
    EXPECT_EQ(seen.commands, 1);
}

TEST_F(CustomButton, ImagesSitBesideTheCaptionAndTheComboArrowAtTheRight) {
    UWORD solid[2 * 8] = {0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00,
                          0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00};
    Image icon{0, 0, 8, 8, 2, solid, 0x3, 0, nullptr};     // pen 3 square
    Image iconOff{0, 0, 8, 8, 1, solid, 0x1, 0, nullptr};  // pen 1 square
    button.SetBitmap(&icon);
    button.SetBitmapDisabled(&iconOff);
    // Image at x + 8, centred vertically; the caption starts after it.
    EXPECT_EQ(window.Pen(x + 8, y + 11), 3);
    EXPECT_EQ(window.Pen(x + 15, y + 18), 3);
    EXPECT_EQ(window.Pen(x + 16, y + 11), 0);
    EXPECT_GT(window.Count(x + 18, y + 4, x + 113, y + 25, 1), 20);
    Snapshot("custom_button_image");
    button.SetEnabled(false);
    EXPECT_EQ(window.Pen(x + 8, y + 11), 1);

    ButtonCustom combo(&window, "Choose");
    combo.SetLocation(x, y + 40);
    combo.SetSize(120, 30);
    combo.SetComboCommand(1);
    combo.Show();
    // The arrow's widest row: 10 dots of pen 1 starting 3 columns into its 16 x 16 cell.
    const int ax = x + 120 - 16 - 8;
    const int ay = y + 40 + (30 - 16) / 2;
    EXPECT_EQ(window.Count(ax, ay + 5, ax + 15, ay + 5, 1), 10);
    EXPECT_EQ(window.Pen(ax + 3, ay + 5), 1);
    EXPECT_EQ(window.Pen(ax + 2, ay + 5), 0);
    Snapshot("custom_button_combo");
    // The caption beside the arrow stands on the same line as a plain button's.
    ButtonCustom plain(&window, "Choose");
    plain.SetLocation(x, y + 80);
    plain.SetSize(120, 30);
    plain.Show();
    const std::string beside = Caption(x + 2, y + 42, ax - 1, y + 67);
    EXPECT_NE(beside.find('#'), std::string::npos);
    EXPECT_EQ(beside, Caption(x + 2, y + 82, x + 117, y + 107));
    combo.SetEnabled(false);
    EXPECT_EQ(window.Count(ax, ay + 5, ax + 15, ay + 5, 1), 5);
    EXPECT_GT(window.Count(x + 6, y + 44, ax - 1, y + 65, 22), 10);
}
