// The scrolling text view's edges and its bar after a new text: what the person sees at the
// frame, and where the bar's arrow takes the text.
#include <gtest/gtest.h>

#include <string>

#include "GadgetDesk.h"
#include "controls/TextBoxView.h"

using namespace tessella;

namespace {

constexpr int kX = 40;
constexpr int kY = 40;
constexpr int kW = 180;
constexpr int kH = 150;
constexpr int kBar = 14;

std::string Lines(int n) {
    std::string s;
    for (int i = 1; i <= n; ++i) {
        s += "Line " + std::to_string(i) + "\n";
    }
    return s;
}

class TextViewEdges : public GadgetDesk {
protected:
    // The text area inside the frame, a row of '#' (pen 1) and '.' for every pixel line.
    std::string Page() {
        std::string s;
        for (int y = kY + 2; y < kY + kH - 2; ++y) {
            for (int x = kX + 2; x < kX + kW - kBar - 2; ++x) {
                s += Pen(x, y) == 1 ? '#' : '.';
            }
            s += '\n';
        }
        return s;
    }
    // The bar's forward arrow, at its bottom end.
    void ClickDownArrow() { Click(kX + kW - kBar / 2, kY + kH - 6); }
};

}  // namespace

TEST_F(TextViewEdges, TheFrameStaysInsideTheViewAndWithoutItThePaperReachesTheEdge) {
    form.SetBackgroundColor(3);
    TextBoxView view(&form, "Hi");
    view.SetLocation(kX, kY);
    view.SetSize(kW, kH);
    view.Show();
    const int right = kX + kW - kBar - 1;
    // Along the top, just above the view, nothing of the frame.
    for (int x : {kX, kX + 1, right - 1, right}) {
        EXPECT_EQ(Pen(x, kY - 1), 3) << x;
    }
    EXPECT_EQ(Pen(right - 1, kY + 1), 2);  // the inner ring's lit right edge
    view.SetBorder(0);
    view.OnPaint();
    EXPECT_EQ(Pen(kX, kY + 50), 2);  // the view's paper from its first column
    EXPECT_EQ(Pen(kX + 1, kY + 50), 2);
}

TEST_F(TextViewEdges, ANewTextScrollsThroughItsWholeLength) {
    std::string scrolledFresh;
    std::string top;
    {
        TextBoxView fresh(&form, Lines(40));
        fresh.SetLocation(kX, kY);
        fresh.SetSize(kW, kH);
        fresh.Show();
        top = Page();
        ClickDownArrow();
        scrolledFresh = Page();
        fresh.Hide();
    }
    ASSERT_NE(scrolledFresh, top);

    TextBoxView view(&form, "Short");
    view.SetLocation(kX, kY);
    view.SetSize(kW, kH);
    view.Show();
    view.SetText(Lines(40));
    EXPECT_EQ(Page(), top);
    ClickDownArrow();
    EXPECT_EQ(Page(), scrolledFresh);
}
