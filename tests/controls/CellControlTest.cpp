// Text cells and the status bar: frames, text, check mark, selection and the changed flag.
#include <gtest/gtest.h>

#include "GadgetDesk.h"
#include "controls/CellControl.h"
#include "controls/Drawing.h"
#include "controls/StatusBar.h"

using namespace tessella;

namespace {

using Cells = GadgetDesk;

constexpr int kX = 40;
constexpr int kY = 40;
constexpr int kW = 120;
constexpr int kH = 24;

void Place(CellControl& cell, const std::string& text) {
    cell.SetText(text);
    cell.SetLocation(kX, kY);
    cell.SetSize(kW, kH);
}

}  // namespace

TEST_F(Cells, FrameEdgesStayVisibleOnEveryBackground) {
    CellControl cell(&form);
    Place(cell, "");
    cell.SetBorder(1);
    cell.SetBackgroundColor(3);
    cell.Show();
    EXPECT_EQ(Pen(kX + 10, kY), 1);           // top
    EXPECT_EQ(Pen(kX, kY + 10), 1);           // left
    EXPECT_EQ(Pen(kX + kW - 1, kY + 10), 2);  // right
    EXPECT_EQ(Pen(kX + 10, kY + kH - 1), 2);  // bottom
    EXPECT_EQ(Pen(kX + 10, kY + 10), 3);
    // The background reaches the frame: no seam of another pen inside it.
    EXPECT_EQ(Pen(kX + 1, kY + 1), 3);
    EXPECT_EQ(Pen(kX + kW - 2, kY + kH - 2), 3);

    cell.SetBackgroundColor(2);  // a shadow in pen 2 would vanish into it
    EXPECT_EQ(Pen(kX + kW - 1, kY + 10), 1);
    EXPECT_EQ(Pen(kX + 10, kY + kH - 1), 1);
    EXPECT_EQ(Pen(kX + 10, kY + 10), 2);
}

TEST_F(Cells, UnsetBackgroundPaintsPenZeroAndHidingShowsTheWindowAgain) {
    form.SetBackgroundColor(3);
    CellControl cell(&form);
    Place(cell, "");
    cell.Show();
    EXPECT_EQ(Count(kX, kY, kW, kH, 0), kW * kH);
    cell.Hide();
    EXPECT_EQ(Count(kX, kY, kW, kH, 3), kW * kH);
    EXPECT_FALSE(cell.IsLoad());
}

TEST_F(Cells, AnUnchangedTextNeitherRepaintsNorMarksTheCell) {
    CellControl cell(&form);
    Place(cell, "abc");
    cell.Show();
    EXPECT_FALSE(cell.IsChange());
    {
        Drawing d(form.GetHandle()->RPort);
        d.DrawFillRectangle(kX, kY, kW, kH, 0, 0, 5);
    }
    cell.SetText("abc");
    EXPECT_FALSE(cell.IsChange());
    EXPECT_EQ(Count(kX, kY, kW, kH, 5), kW * kH);

    cell.SetText("abd");
    EXPECT_TRUE(cell.IsChange());
    EXPECT_EQ(Count(kX, kY, kW, kH, 5), 0);
    EXPECT_GT(Count(kX, kY, kW, kH, 1), 10);
    cell.ResetChange();
    cell.SetSelected(true);  // the selection colours leave the flag alone
    EXPECT_FALSE(cell.IsChange());
    cell.SetColor(4);
    EXPECT_TRUE(cell.IsChange());
}

TEST_F(Cells, CheckMarkSitsInTheBottomRightInTheTextColour) {
    CellControl cell(&form);
    Place(cell, "");
    cell.SetCheck(1);
    cell.SetColor(4);
    cell.Show();
    const int line = Drawing::GetHeightFont(&cell);
    EXPECT_GT(Count(kX + kW - line, kY + kH - line - 4, line, line, 4), 3);
    EXPECT_EQ(Count(kX, kY, kW - line, kH, 4), 0);

    cell.SetSelectedColor(5);
    cell.SetSelectedColorBG(6);
    cell.SetSelected(true);
    EXPECT_GT(Count(kX + kW - line, kY + kH - line - 4, line, line, 5), 3);
    EXPECT_EQ(Count(kX + kW - line, kY + kH - line - 4, line, line, 4), 0);
    EXPECT_EQ(Pen(kX + 2, kY + 2), 6);
}

TEST_F(Cells, LeftAlignedTextKeepsClearOfTheFrame) {
    CellControl cell(&form);
    Place(cell, "Width");
    cell.SetBorder(1);
    cell.SetAlign(AlignLeft);
    cell.SetBackgroundColor(3);
    cell.Show();
    EXPECT_EQ(Count(kX + 1, kY + 1, 2, kH - 2, 1), 0);
    EXPECT_GT(Count(kX + 3, kY + 1, 30, kH - 2, 1), 10);
    // Right-aligned text ends as far from the right edge.
    cell.SetAlign(AlignRight);
    EXPECT_EQ(Count(kX + kW - 3, kY + 1, 2, kH - 2, 1), 0);
    EXPECT_GT(Count(kX + kW - 33, kY + 1, 30, kH - 2, 1), 10);
}

TEST_F(Cells, AnImageKeepsThreePixelsFromTheSideItIsAlignedTo) {
    UWORD dots[8] = {0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00, 0xFF00};
    Image square{0, 0, 8, 8, 1, dots, 0x1, 0, nullptr};  // 8 x 8 in pen 1
    CellControl cell(&form);
    Place(cell, "");
    cell.SetBackgroundColor(3);
    cell.SetImage(&square, 8, 8, AlignLeft);
    cell.Show();
    // One row through the middle, as pens: '3' background, '1' image.
    const auto row = [&](int from, int to) {
        std::string s;
        for (int x = from; x <= to; ++x) {
            s += static_cast<char>('0' + Pen(x, kY + kH / 2));
        }
        return s;
    };
    EXPECT_EQ(row(kX, kX + 12), "3331111111133");
    cell.SetImage(&square, 8, 8, AlignRight);
    EXPECT_EQ(row(kX + kW - 13, kX + kW - 1), "3311111111333");
}

TEST_F(Cells, BackgroundComesBackToTheOneItWasLoadedWith) {
    CellControl cell(&form);
    Place(cell, "");
    cell.SetBackgroundColor(3);
    cell.Show();
    cell.SetBackgroundColor(5);
    EXPECT_EQ(Pen(kX + 5, kY + 5), 5);
    cell.ResetBackgroundColor();
    EXPECT_EQ(Pen(kX + 5, kY + 5), 3);
    EXPECT_TRUE(cell.IsChange());
}

TEST_F(Cells, StatusBarLiesAlongTheBottomOfItsWindow) {
    GadgetDeskForm window;
    window.SetSize(640, 200);
    window.SetBackgroundColor(3);
    StatusBar bar(&window, "Ready");
    EXPECT_EQ(bar.GetPosition().x, 4);
    EXPECT_EQ(bar.GetPosition().y, 185);
    EXPECT_EQ(bar.Width(), 632);
    EXPECT_EQ(bar.Height(), 14);
    EXPECT_EQ(bar.GetText(), "Ready");
    EXPECT_EQ(bar.GetBackgroundColor(), 3u);
    EXPECT_EQ(bar.GetOrvClassName(), "cellcontrol");

    StatusBar shown(&form, "Ready");  // framed, on the window's colour
    shown.Show();
    const tagPOINT at = shown.GetPosition();
    EXPECT_EQ(Pen(at.x + 10, at.y), 1);
    EXPECT_EQ(Pen(at.x, at.y + 5), 1);
    EXPECT_EQ(Pen(at.x + 10, at.y + shown.Height() - 1), 2);
    EXPECT_EQ(Pen(at.x + shown.Width() - 1, at.y + 5), 2);

    CellControl cell(&window);
    StatusBar inCell(&cell, "Ready");  // only a window places a status bar
    EXPECT_EQ(inCell.GetText(), "");
    EXPECT_EQ(inCell.Width(), 100);
}
