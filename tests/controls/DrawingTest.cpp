// Drawing and Font on a real rastport and real fonts, checked pixel by pixel.
#include <graphics.h>
#include <gtest/gtest.h>
#include <intuition.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>

#include "controls/Drawing.h"
#include "runtime/Font.h"
#include "runtime/Form.h"

using namespace tessella;

namespace {

constexpr int kInk = 5;
constexpr int kPaper = 9;

class DrawingCanvas : public ::testing::Test {
protected:
    void SetUp() override {
        bm = AllocBitMap(320, 200, 8, BMF_CLEAR, nullptr);
        ASSERT_NE(bm, nullptr);
        InitRastPort(&rp);
        rp.BitMap = bm;
        ref = AllocBitMap(320, 200, 8, BMF_CLEAR, nullptr);
        InitRastPort(&refRp);
        refRp.BitMap = ref;
    }
    void TearDown() override {
        FreeBitMap(bm);
        FreeBitMap(ref);
    }

    std::string Row(int y, int x0, int x1) {
        std::string s;
        for (int x = x0; x <= x1; ++x) {
            const LONG p = ReadPixel(&rp, x, y);
            s += p == 0 ? '.' : static_cast<char>('0' + p % 10);
        }
        return s;
    }
    std::string Column(int x, int y0, int y1) {
        std::string s;
        for (int y = y0; y <= y1; ++y) {
            const LONG p = ReadPixel(&rp, x, y);
            s += p == 0 ? '.' : static_cast<char>('0' + p % 10);
        }
        return s;
    }
    int Count(int x0, int y0, int x1, int y1, LONG pen) {
        int n = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                n += ReadPixel(&rp, x, y) == pen;
            }
        }
        return n;
    }
    // The text drawn the plain way (Text at a baseline) on the reference bitmap.
    void Reference(Font& font, int x, int baseline, const std::string& text) {
        SetFont(&refRp, font.GetTextFont());
        SetAPen(&refRp, kInk);
        SetDrMd(&refRp, JAM1);
        Move(&refRp, static_cast<WORD>(x), static_cast<WORD>(baseline));
        ::Text(&refRp, text.c_str(), static_cast<ULONG>(text.size()));
    }
    // Ink of both bitmaps in the same place, and some ink at all.
    void ExpectSameInk(int x0, int y0, int x1, int y1) {
        int ink = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const bool here = ReadPixel(&rp, x, y) == kInk;
                ink += here;
                ASSERT_EQ(here, ReadPixel(&refRp, x, y) == kInk) << x << "," << y;
            }
        }
        EXPECT_GT(ink, 0);
    }
    int TextWidth(Font& font, const std::string& text) {
        SetFont(&refRp, font.GetTextFont());
        return TextLength(&refRp, text.c_str(), static_cast<ULONG>(text.size()));
    }

    BitMap* bm = nullptr;
    BitMap* ref = nullptr;
    RastPort rp{};
    RastPort refRp{};
    Font font{"helvetica.font", 13};
};

}  // namespace

TEST_F(DrawingCanvas, ThickLinesGrowRightOrDownPatternsDashAndPensComeBack) {
    SetAPen(&rp, 2);
    SetBPen(&rp, 3);
    SetDrMd(&rp, JAM2);
    {
        Drawing d(&rp);
        d.DrawLine(10, 10, 10, 14, 3, kInk);  // vertical: three columns to the right
        d.DrawLine(20, 30, 26, 30, 2, kInk);  // horizontal: two rows downwards
        d.DrawLine(100, 10, 105, 15, 2, kInk);
        d.DrawLine(40, 40, 50, 40, 0, kInk);  // thickness 0: nothing
        d.DrawLine(60, 10, 71, 10, LineDashed, 1, kInk);
        d.DrawLine(60, 20, 71, 20, LineDotted, 1, kInk);
        d.DrawLine(60, 30, 64, 30, kInk);
    }
    EXPECT_EQ(Row(12, 8, 14), "..555..");
    EXPECT_EQ(Column(23, 28, 33), "..55..");
    EXPECT_EQ(Row(12, 100, 106), "..55...");
    EXPECT_EQ(Count(30, 35, 60, 45, kInk), 0);
    // Gaps keep what was there, even though the rastport was in JAM2 with pen 3 behind.
    EXPECT_EQ(Row(10, 60, 71), "55..55..55..");
    EXPECT_EQ(Row(20, 60, 71), "5.5.5.5.5.5.");
    EXPECT_EQ(Row(30, 59, 65), ".55555.");
    EXPECT_EQ(GetAPen(&rp), 2u);
    EXPECT_EQ(GetBPen(&rp), 3u);
    EXPECT_EQ(GetDrMd(&rp), static_cast<ULONG>(JAM2));
    EXPECT_EQ(rp.LinePtrn, 0xFFFF);
}

TEST_F(DrawingCanvas, RectanglesOutlinesAndFills) {
    Drawing d(&rp);
    d.DrawRectangle(10, 50, 6, 4, 0, kInk);  // thickness 0 is one pixel
    EXPECT_EQ(Row(49, 9, 16), "........");
    EXPECT_EQ(Row(50, 9, 16), ".555555.");
    EXPECT_EQ(Row(51, 9, 16), ".5....5.");
    EXPECT_EQ(Row(53, 9, 16), ".555555.");
    EXPECT_EQ(Row(54, 9, 16), "........");

    d.DrawFillRectangle(30, 50, 6, 4, 0, kInk, kPaper);  // no border
    EXPECT_EQ(Count(29, 49, 36, 54, kPaper), 24);
    EXPECT_EQ(Count(29, 49, 36, 54, kInk), 0);

    // The border goes round the first w-1 by h-1 pixels of the fill.
    d.DrawFillRoundRectangle(50, 50, 6, 4, 3, 1, kInk, kPaper);
    EXPECT_EQ(Row(50, 50, 56), "555559.");
    EXPECT_EQ(Row(51, 50, 56), "599959.");
    EXPECT_EQ(Row(52, 50, 56), "555559.");
    EXPECT_EQ(Row(53, 50, 56), "999999.");
}

TEST_F(DrawingCanvas, PolylinesThickenRightwardsAndHorizontalRunsDownwards) {
    const tagPOINT corner[] = {{10, 80}, {10, 90}, {20, 90}};
    Drawing d(&rp);
    d.DrawPolyline(corner, 3, 2, kInk);
    EXPECT_EQ(Row(85, 9, 12), ".55.");
    EXPECT_EQ(Row(90, 9, 21), ".55555555555.");
    EXPECT_EQ(Row(91, 9, 21), "..5555555555.");
    EXPECT_EQ(Row(92, 9, 21), ".............");
    EXPECT_EQ(Column(12, 78, 82), ".....");

    const tagPOINT dotted[] = {{40, 80}, {51, 80}};
    d.DrawPolyline(dotted, 2, LineDotted, 1, kInk);
    EXPECT_EQ(Row(80, 40, 51), "5.5.5.5.5.5.");
    EXPECT_EQ(rp.LinePtrn, 0xFFFF);
    d.DrawPolyline(corner, 0, 1, kInk);  // no points, nothing drawn and nothing read
    d.DrawPolyline(nullptr, 3, 1, kInk);
}

TEST_F(DrawingCanvas, PlanarImagesAtTheirTopLeftCorner) {
    UWORD data[] = {0xF000, 0x0F00,   // plane 0, two rows
                    0xFF00, 0x0000};  // plane 1
    Image img{0, 0, 16, 2, 2, data, 0x3, 0, nullptr};
    Drawing d(&rp);
    d.DrawImageEx(200, 10, &img);
    EXPECT_EQ(Row(10, 199, 209), ".33332222..");
    EXPECT_EQ(Row(11, 199, 209), ".....1111..");
    d.DrawImageEx(200, 20, 4, 1, &img);  // the size asked for is not a clip
    EXPECT_EQ(Row(20, 200, 207), "33332222");
    EXPECT_EQ(Row(21, 200, 207), "....1111");
    d.DrawImageEx(0, 0, nullptr);
    d.DrawPixel(300, 150, kInk);
    EXPECT_EQ(d.GetColorPixel(300, 150), kInk);
}

TEST_F(DrawingCanvas, ASingleLineIsAlignedAndCentredVertically) {
    const int lh = Drawing::GetHeightFont(&font);
    const std::string text = "Hi there";
    const int w = TextWidth(font, text);
    {
        Drawing d(&rp);
        d.PrintText(10, 10, 200, 41, text, kInk, -1, &font, AlignCenter);
        d.PrintText(10, 60, 200, 41, text, kInk, -1, &font, AlignRight);
        d.PrintText(10, 110, 200, 41, text, kInk, -1, &font, AlignLeft);
    }
    const int baseline = lh + (41 - lh) / 2;
    Reference(font, 10 + (200 - w) / 2, 10 + baseline, text);
    Reference(font, 10 + 200 - w, 60 + baseline, text);
    Reference(font, 10, 110 + baseline, text);
    ExpectSameInk(0, 0, 319, 199);
}

TEST_F(DrawingCanvas, WrapsAtTheLastSpaceAndStartsWrappedLinesAtTheLeftEdge) {
    const int lh = Drawing::GetHeightFont(&font);
    const std::string text = "one two three";
    const int exact = TextWidth(font, text);
    Drawing d(&rp);
    EXPECT_EQ(d.GetStringHeight(exact, text, &font), lh);
    EXPECT_EQ(d.GetStringHeight(exact - 1, text, &font), 2 * lh);
    // No space to go back to: the word is cut where it stops fitting.
    EXPECT_EQ(d.GetStringHeight(TextWidth(font, "abcde"), "abcdefghij", &font), 2 * lh);
    EXPECT_EQ(d.GetStringHeight(0, text, &font), lh);  // no width, no wrapping

    d.PrintText(10, 10, exact - 1, 3 * lh, text, kInk, -1, &font, AlignCenter);
    // The wrapped line starts at the box's edge; the last one, which fits, is centred.
    Reference(font, 10, 10 + lh, "one two");
    Reference(font, 10 + (exact - 1 - TextWidth(font, "three")) / 2, 10 + 2 * lh, "three");
    // A one-letter word that no longer fits goes to the next line whole, space and all.
    const int narrow = TextWidth(font, "one a") - 1;
    d.PrintText(10, 100, narrow, 3 * lh, "one a b", kInk, -1, &font, AlignLeft);
    Reference(font, 10, 100 + lh, "one");
    Reference(font, 10, 100 + 2 * lh, "a b");
    ExpectSameInk(0, 0, 319, 199);
}

TEST_F(DrawingCanvas, ABoxNarrowerThanALetterGivesOneLetterPerLine) {
    const int lh = Drawing::GetHeightFont(&font);
    Drawing d(&rp);
    EXPECT_EQ(d.GetStringHeight(1, "abc", &font), 3 * lh);
    EXPECT_EQ(d.GetStringHeight(1, "a b", &font), 2 * lh);
    d.PrintText(10, 10, 1, 10 * lh, "abc", kInk, -1, &font, AlignLeft);
    Reference(font, 10, 10 + lh, "a");
    Reference(font, 10, 10 + 2 * lh, "b");
    Reference(font, 10, 10 + 3 * lh, "c");
    ExpectSameInk(0, 0, 319, 199);
}

TEST_F(DrawingCanvas, NewlinesGiveTrimmedLinesAndEmptyLinesVanish) {
    const int lh = Drawing::GetHeightFont(&font);
    const std::string text = "first\n\n   second  \nthird";
    Drawing d(&rp);
    EXPECT_EQ(d.GetStringHeight(0, text, &font), 3 * lh);
    EXPECT_EQ(d.GetStringHeight(0, "\n", &font), lh);
    d.PrintText(10, 10, 0, 0, text, kInk, -1, &font, AlignLeft);
    Reference(font, 10, 10 + lh, "first");
    Reference(font, 10, 10 + 2 * lh, "second");
    Reference(font, 10, 10 + 3 * lh, "third");
    ExpectSameInk(0, 0, 319, 199);
}

TEST_F(DrawingCanvas, TheBoxLimitsTheLinesAndItsBackgroundIsFilledOnlyWhenGiven) {
    const int lh = Drawing::GetHeightFont(&font);
    Drawing d(&rp);
    d.PrintText(10, 10, 200, lh - 1, "too short", kInk, kPaper, &font, AlignLeft);
    EXPECT_EQ(Count(0, 0, 319, 199, kInk) + Count(0, 0, 319, 199, kPaper), 0);

    d.PrintText(10, 10, 200, 2 * lh, "a\nb\nc", kInk, -1, &font, AlignLeft);
    Reference(font, 10, 10 + lh, "a");
    Reference(font, 10, 10 + 2 * lh, "b");
    ExpectSameInk(0, 0, 319, 199);

    SetBPen(&rp, 3);
    const int area = 100 * 30;
    d.PrintText(10, 100, 100, 30, "filled", kInk, kPaper, &font, AlignLeft);
    EXPECT_GT(Count(10, 100, 109, 129, kInk), 0);
    EXPECT_EQ(Count(10, 100, 109, 129, kInk) + Count(10, 100, 109, 129, kPaper), area);
    EXPECT_EQ(Count(0, 130, 319, 131, kPaper), 0);
    EXPECT_EQ(GetBPen(&rp), 3u);

    d.DrawFillRectangle(150, 100, 100, 30, 0, 0, 7);
    d.PrintText(150, 100, 100, 30, "kept", kInk, -1, &font, AlignLeft);
    EXPECT_GT(Count(150, 100, 249, 129, kInk), 0);
    EXPECT_EQ(Count(150, 100, 249, 129, kInk) + Count(150, 100, 249, 129, 7), area);
}

TEST(Font, OpensOneStyleWithItalicFirst) {
    Font f("helvetica.font", 12);
    f.SetBold(1);
    f.SetItalic(1);
    EXPECT_EQ(f.GetHFONT()->ta_Style, FSF_ITALIC);
    ASSERT_NE(f.GetTextFont(), nullptr);
    EXPECT_EQ(f.GetTextFont()->tf_Style, FSF_ITALIC);

    Font g("helvetica.font", 12);
    g.SetBold(1);
    g.SetUnderline(1);
    EXPECT_EQ(g.GetHFONT()->ta_Style, FSF_BOLD);
    g.Init("times.font", 18);
    g.SetUnderline(1);
    EXPECT_EQ(g.GetHFONT()->ta_Style, FSF_UNDERLINED);
    EXPECT_STREQ(g.GetHFONT()->ta_Name, "times.font");
    EXPECT_EQ(g.GetHFONT()->ta_YSize, 18);
    EXPECT_EQ(g.GetHFONT()->ta_Flags, FPF_ROMFONT);
    g.SetRomFont(0);
    EXPECT_EQ(g.GetHFONT()->ta_Flags, FPF_DISKFONT);
}

TEST(Font, AnOpenFontIsKeptUntilReopened) {
    Font f("topaz.font", 9);
    TextFont* first = f.GetTextFont();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->tf_Style, FS_NORMAL);
    f.SetBold(1);
    EXPECT_EQ(f.GetTextFont(), first);
    ASSERT_NE(f.FontOpen(), nullptr);
    EXPECT_EQ(f.GetTextFont()->tf_Style, FSF_BOLD);
    Font copy(f);  // the copy opens its own
    EXPECT_EQ(copy.GetTextFont()->tf_Style, FSF_BOLD);
}

TEST(DrawingMeasures, ComeFromTheOpenedFontOrTheDefaults) {
    Font topaz("topaz.font", 11);
    const TextFont* tf = topaz.GetTextFont();
    ASSERT_NE(tf, nullptr);
    EXPECT_EQ(Drawing::GetHeightFont(&topaz), tf->tf_YSize);
    EXPECT_EQ(Drawing::GetHeightFont(&topaz), 11);
    EXPECT_EQ(Drawing::GetWidthFont(&topaz), tf->tf_XSize);
    EXPECT_EQ(Drawing::GetWidthMaxFont(&topaz), tf->tf_XSize);
    EXPECT_EQ(Drawing::GetHeightFont(static_cast<Font*>(nullptr)), 10);
    EXPECT_EQ(Drawing::GetWidthFont(static_cast<Font*>(nullptr)), 8);
    EXPECT_EQ(Drawing::GetHeightFont(), 10);
    EXPECT_EQ(Drawing::GetWidthFont(), 8);
    EXPECT_EQ(Drawing::GetWidthMaxFont(), 8);
    Font none("helvetica.font", 0);  // nothing can open at height 0
    EXPECT_EQ(Drawing::GetHeightFont(&none), 10);
    EXPECT_EQ(Drawing::GetWidthFont(&none), 8);

    Form window(0, true);
    window.SetFonts(topaz);
    EXPECT_EQ(Drawing::GetHeightFont(&window), 11);
    EXPECT_EQ(Drawing::GetStringWidth(&window, "abcd"), 4 * tf->tf_XSize);
    EXPECT_EQ(Drawing::GetStringWidth("abcd"), -1);
}

TEST(DrawingLock, AnotherTaskWaitsUntilThePaintEnds) {
    Form window(0, true);
    window.SetPosition(20, 20);
    window.SetSize(100, 60);
    window.Show();
    ASSERT_NE(window.GetHandle(), nullptr);
    RastPort* rp = window.GetHandle()->RPort;
    std::atomic<bool> painted{false};
    std::thread worker;
    {
        Drawing mine(rp);
        mine.DrawPixel(10, 20, 1);
        worker = std::thread([&] {
            Drawing theirs(rp);
            theirs.DrawPixel(10, 20, 2);
            painted = true;
        });
        // Real time for the other thread to run and paint, were it not kept out.
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        EXPECT_FALSE(painted.load());
        EXPECT_EQ(mine.GetColorPixel(10, 20), 1);
    }
    worker.join();
    EXPECT_TRUE(painted.load());
    EXPECT_EQ(ReadPixel(rp, 10, 20), 2);
}
