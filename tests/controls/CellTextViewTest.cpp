// The scrolling text view: its text printed once off screen, the rows the bar points at shown.
#include <gtest/gtest.h>

#include <algorithm>

#include "GadgetDesk.h"
#include "controls/TextBoxView.h"

using namespace tessella;

namespace {

using TextView = GadgetDesk;

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

}  // namespace

class TextViewPixels : public TextView {
protected:
    // The pens of one row of the view's text area, left of the scroll bar.
    std::vector<LONG> Row(int y) {
        std::vector<LONG> pens;
        for (int x = kX + 2; x < kX + kW - kBar - 2; ++x) {
            pens.push_back(Pen(x, y));
        }
        return pens;
    }
    int Ink(int y0, int y1) { return Count(kX + 2, y0, kW - kBar - 4, y1 - y0, 1); }
    // The text area's rows from the first with ink to the last, each as '#' for ink and '.'
    // for the rest: what the person reads, to compare glyph for glyph.
    std::vector<std::string> InkedRows() {
        std::vector<std::string> rows;
        for (int y = kY + 2; y < kY + kH - 2; ++y) {
            std::string row;
            for (LONG pen : Row(y)) {
                row += pen == 1 ? '#' : '.';
            }
            rows.push_back(row);
        }
        const auto inked = [](const std::string& r) { return r.find('#') != std::string::npos; };
        const auto first = std::find_if(rows.begin(), rows.end(), inked);
        const auto last = std::find_if(rows.rbegin(), rows.rend(), inked).base();
        return first < last ? std::vector<std::string>(first, last) : std::vector<std::string>{};
    }
};

TEST_F(TextViewPixels, ShowsTheTextOnItsBackgroundInsideASunkenFrame) {
    TextBoxView view(&form, "Hello  \n");
    EXPECT_EQ(view.GetText(), "Hello");
    view.SetLocation(kX, kY);
    view.Show();
    EXPECT_EQ(Pen(kX, kY + 50), 2);  // outer ring, lit edge... of a sunken frame
    EXPECT_EQ(Pen(kX + kW - kBar - 1, kY + 50), 1);
    EXPECT_EQ(Pen(kX + 1, kY + 50), 1);
    EXPECT_EQ(Pen(kX + 10, kY + 50), 2);  // the view's own background
    EXPECT_GT(Ink(kY + 2, kY + 20), 10);  // the text starts at the top
    EXPECT_EQ(Ink(kY + 30, kY + kH - 2), 0);

    view.SetEnabled(false);
    EXPECT_EQ(Pen(kX + 10, kY + 50), 0);
}

TEST_F(TextViewPixels, TheScrollBarMovesTheRowsUpInItsSteps) {
    TextBoxView view(&form, Lines(40));
    view.SetLocation(kX, kY);
    view.Show();
    std::vector<std::vector<LONG>> before;
    for (int y = kY + 20; y < kY + 60; ++y) {
        before.push_back(Row(y));
    }
    Click(kX + kW - kBar / 2, kY + kH - 6);  // the bar's forward arrow: 10 rows
    for (int y = kY + 20; y < kY + 50; ++y) {
        EXPECT_EQ(Row(y), before[static_cast<size_t>(y - (kY + 20) + 10)]) << y;
    }
}

TEST_F(TextViewPixels, ScrolledPastTheEndShowsTheLastRows) {
    std::vector<std::string> lastLine;
    {
        TextBoxView alone(&form, "Line 40");
        alone.SetLocation(kX, kY);
        alone.Show();
        lastLine = InkedRows();
        alone.Hide();
    }
    ASSERT_FALSE(lastLine.empty());
    TextBoxView view(&form, Lines(40));
    view.SetLocation(kX, kY);
    view.Show();
    view.OnChangeValue(nullptr, 100000);
    // The page ends with the last line, drawn whole, and the lines before it fill the page.
    const std::vector<std::string> page = InkedRows();
    ASSERT_GE(page.size(), lastLine.size());
    EXPECT_EQ(std::vector<std::string>(page.end() - static_cast<long>(lastLine.size()), page.end()),
              lastLine);
    EXPECT_GT(Ink(kY + 2, kY + 20), 10);
    EXPECT_GT(Ink(kY + kH - 30, kY + kH - 2), 10);

    view.SetText("Short");  // back to the top, bar and all
    EXPECT_GT(Ink(kY + 2, kY + 20), 10);
    EXPECT_EQ(Ink(kY + 30, kY + kH - 2), 0);
}

TEST_F(TextViewPixels, HidingTakesTheViewAndItsBarAway) {
    form.SetBackgroundColor(3);
    TextBoxView view(&form, Lines(40));
    view.SetLocation(kX, kY);
    view.Show();
    view.Hide();
    EXPECT_EQ(Count(kX, kY, kW, kH, 3), kW * kH);
    view.SetLocation(kX + 200, kY);
    view.Show();
    EXPECT_GT(Count(kX + 200 + 2, kY + 2, kW - kBar - 4, 20, 1), 10);
    // The bar went along to the view's new right edge.
    EXPECT_EQ(Count(kX + 200 + kW - kBar, kY, kBar, kH, 3), 0);
}
