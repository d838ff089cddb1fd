// Scroll bars and sliders: positions set by the program and by the pointer.
#include <gtest/gtest.h>

#include <string>

#include "GadgetDesk.h"
#include "controls/CellControl.h"
#include "controls/Drawing.h"
#include "controls/ScrollBar.h"
#include "controls/Slider.h"

using namespace tessella;

namespace {

using Values = GadgetDesk;

std::vector<int> reported;

void Scrolled(GUIElement*, int position) {
    reported.push_back(position);
}

}  // namespace

TEST_F(Values, ScrollBarKeepsItsPositionTenTimesFinerThanTheGadget) {
    ScrollBar bar(&form, 0, 1000);
    bar.SetPos(57);
    EXPECT_EQ(bar.GetPos(), 57);  // not loaded: as stored
    bar.SetLocation(40, 40);
    bar.SetSize(200, 13);
    bar.Show();
    EXPECT_EQ(bar.GetPos(), 50);  // the gadget holds 5
    bar.SetPos(990);
    EXPECT_EQ(bar.GetPos(), 800);  // 100 steps, 20 of them visible: the top stops at 80
    bar.SetRange(0, 2000);
    bar.SetPos(990);
    EXPECT_EQ(bar.GetPos(), 990);
}

TEST_F(Values, ScrollBarReportsArrowStepsAndDragsInItsOwnUnits) {
    reported.clear();
    ScrollBar bar(&form, 0, 1000);
    bar.SetLocation(40, 40);
    bar.SetSize(200, 13);
    bar.SetOnScroll(Scrolled);
    bar.Show();
    Click(40 + 200 - 6, 46);  // the forward arrow, the last of the two at the right end
    EXPECT_EQ(reported, (std::vector<int>{10}));
    EXPECT_EQ(bar.GetPos(), 10);

    // The knob (20 of 100 steps long) dragged by 40 pixels of a 170-pixel track.
    reported.clear();
    PlatformTest::MovePointer(X(50), Y(46));
    PlatformTest::PressButton();
    PlatformTest::MovePointer(X(90), Y(46));
    PlatformTest::ReleaseButton();
    Pump();
    ASSERT_GE(reported.size(), 2u);  // while dragged and when let go
    EXPECT_GT(reported.back(), 10);
    EXPECT_EQ(reported.back() % 10, 0);
    EXPECT_EQ(bar.GetPos(), reported.back());
}

TEST_F(Values, VerticalScrollBarRunsAlongItsHeight) {
    reported.clear();
    ScrollBar bar(&form, 0, 500);
    bar.SetVScroll(1);
    bar.SetLocation(40, 40);
    bar.SetSize(14, 150);
    bar.SetOnScroll(Scrolled);
    bar.Show();
    Click(46, 40 + 150 - 6);
    EXPECT_EQ(reported, (std::vector<int>{10}));

    // Turned back, it runs along its width and keeps its place.
    bar.SetHScroll(1);
    bar.SetSize(150, 14);
    Click(40 + 150 - 6, 46);
    EXPECT_EQ(reported, (std::vector<int>{10, 20}));
}

TEST_F(Values, SliderTakesValuesWithinItsRangeAndReportsPointerChanges) {
    Slider slider(&form, 0, 0, 10);
    EXPECT_EQ(slider.GetValue(), 0);
    slider.SetValue(50);
    EXPECT_EQ(slider.GetValue(), 10);
    slider.SetValue(-3);
    EXPECT_EQ(slider.GetValue(), 0);

    slider.SetLocation(100, 40);
    slider.SetSize(200, 12);
    slider.SetOnChangeValue(Scrolled);
    slider.Show();
    reported.clear();
    Click(280, 46);  // past the knob: one step on
    EXPECT_EQ(reported, (std::vector<int>{1}));
    EXPECT_EQ(slider.GetValue(), 1);

    slider.SetValue(7);
    slider.Hide();
    EXPECT_EQ(slider.GetValue(), 7);
    slider.SetValue(4);  // while hidden: the gadget shown again has it
    slider.Show();
    EXPECT_EQ(slider.GetValue(), 4);
}

TEST_F(Values, SliderShowsItsBoundsBesideIt) {
    Slider slider(&form, 0, 0, 10);
    slider.SetLocation(100, 40);
    slider.SetSize(200, 12);
    slider.Show();
    // "0" left of the slider and "10" right of it, 16 pixels down from its top.
    EXPECT_GT(Count(70, 56, 25, 12, 1), 5);
    EXPECT_GT(Count(305, 56, 30, 12, 1), 10);

    slider.SetShowLabel(0);
    EXPECT_EQ(Count(70, 56, 25, 12, 1), 0);
    EXPECT_EQ(Count(305, 56, 30, 12, 1), 0);
    slider.SetShowLabel(1);
    EXPECT_GT(Count(305, 56, 30, 12, 1), 10);

    slider.Hide();
    EXPECT_EQ(Count(305, 56, 30, 12, 1), 0);
}

TEST_F(Values, TheBoundsBesideASliderAreInItsFont) {
    const Font big("topaz.font", 16);
    Slider slider(&form, 0, 0, 10);
    slider.SetFonts(big);
    slider.SetLocation(100, 40);
    slider.SetSize(200, 24);
    slider.Show();
    // The same text in a cell of that font, sized as the slider sizes its bounds.
    CellControl reference(&form);
    reference.SetFonts(big);
    reference.SetText("10");
    const int w = Drawing::GetStringWidth(&reference, "10") + 8;
    const int h = Drawing::GetHeightFont(&reference) + 2;
    reference.SetLocation(400, 200);
    reference.SetSize(w, h);
    reference.Show();
    const auto image = [&](int left, int top) {
        std::string s;
        for (int y = top; y < top + h; ++y) {
            for (int x = left; x < left + w; ++x) {
                s += Pen(x, y) == 1 ? '#' : '.';
            }
            s += '\n';
        }
        return s;
    };
    const std::string maximum = image(100 + 200 + 5, 40 + 16);
    EXPECT_NE(maximum.find('#'), std::string::npos);
    EXPECT_EQ(maximum, image(400, 200));
}

TEST_F(Values, VerticalSliderPutsItsBoundsAboveAndBelow) {
    Slider slider(&form, 1, 0, 10);
    slider.SetLocation(100, 60);
    slider.SetSize(14, 120);
    slider.Show();
    EXPECT_GT(Count(100, 40, 30, 15, 1), 5);    // the minimum above
    EXPECT_GT(Count(100, 185, 30, 15, 1), 10);  // the maximum below
}
