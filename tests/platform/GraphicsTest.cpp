// Drawing calls on an off-screen rastport, checked pixel by pixel.
#include <ft2build.h>
#include <gtest/gtest.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "diskfont.h"
#include "dos.h"
#include "graphics.h"
#include "intuition.h"
#include "platform_test.h"

namespace {

class Canvas : public ::testing::Test {
protected:
    void SetUp() override {
        bm = AllocBitMap(64, 48, 8, BMF_CLEAR, nullptr);
        ASSERT_NE(bm, nullptr);
        InitRastPort(&rp);
        rp.BitMap = bm;
    }
    void TearDown() override { FreeBitMap(bm); }

    std::string Row(int y, int x0, int x1) {
        std::string s;
        for (int x = x0; x <= x1; ++x) {
            s += ReadPixel(&rp, x, y) == 0 ? '.'
                                           : static_cast<char>('0' + ReadPixel(&rp, x, y) % 10);
        }
        return s;
    }

    int Ink(int x0, int y0, int x1, int y1, LONG pen) {
        int n = 0;
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                n += ReadPixel(&rp, x, y) == pen;
            }
        }
        return n;
    }

    BitMap* bm = nullptr;
    RastPort rp{};
};

TEST_F(Canvas, SolidLinesIncludeBothEndsAndLeaveThePenAtTheEnd) {
    SetAPen(&rp, 7);
    Move(&rp, 2, 3);
    Draw(&rp, 9, 3);
    EXPECT_EQ(Row(3, 0, 11), "..77777777..");
    Draw(&rp, 9, 6);  // continues from where the last line ended
    EXPECT_EQ(ReadPixel(&rp, 9, 6), 7);
    EXPECT_EQ(ReadPixel(&rp, 9, 7), 0);
    Move(&rp, 0, 10);
    Draw(&rp, 5, 15);  // a diagonal touches one pixel per row
    for (int i = 0; i <= 5; ++i) {
        EXPECT_EQ(ReadPixel(&rp, i, 10 + i), 7) << i;
    }
    EXPECT_EQ(Ink(0, 10, 63, 15, 7), 6);
}

TEST_F(Canvas, LinePatternsRestartAtEveryMoveAndThickLinesStack) {
    SetAPen(&rp, 3);
    SetDrMd(&rp, JAM1);
    SetDrPt(&rp, 0xCCCC);
    // A three-pixel thick dashed line, drawn as the toolkit draws one: one pass per row.
    for (int i = 0; i < 3; ++i) {
        Move(&rp, 1, 5 + i);
        Draw(&rp, 12, 5 + i);
    }
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Row(5 + i, 0, 13), ".33..33..33...") << i;
    }
    SetDrPt(&rp, 0xAAAA);
    SetBPen(&rp, 4);
    SetDrMd(&rp, JAM2);  // the gaps take the background pen
    Move(&rp, 0, 20);
    Draw(&rp, 5, 20);
    EXPECT_EQ(Row(20, 0, 6), "343434.");
    SetDrPt(&rp, 0xFFFF);
}

TEST_F(Canvas, PolyDrawJoinsSegmentsWithoutRepeatingTheSharedCorners) {
    SetAPen(&rp, 0xFF);
    SetDrMd(&rp, COMPLEMENT);  // a corner drawn twice would cancel itself out
    const WORD path[] = {10, 2, 10, 10, 3, 3};
    Move(&rp, 2, 2);
    PolyDraw(&rp, 3, path);
    EXPECT_EQ(ReadPixel(&rp, 10, 2), 0xFF);
    EXPECT_EQ(ReadPixel(&rp, 10, 10), 0xFF);
    EXPECT_EQ(ReadPixel(&rp, 6, 6), 0xFF);  // on the diagonal back
    EXPECT_EQ(ReadPixel(&rp, 3, 3), 0xFF);
    EXPECT_EQ(Row(2, 2, 10), "555555555");
    EXPECT_EQ(rp.cp_x, 3);
    EXPECT_EQ(rp.cp_y, 3);
}

TEST_F(Canvas, RectFillClipsToTheBitmapAndPixelsReportOutside) {
    SetAPen(&rp, 9);
    RectFill(&rp, 60, 40, 100, 100);
    EXPECT_EQ(Ink(0, 0, 63, 47, 9), 4 * 8);
    RectFill(&rp, 5, 5, 4, 9);  // inverted rectangle: nothing
    EXPECT_EQ(ReadPixel(&rp, 5, 5), 0);
    RectFill(&rp, 1, 1, 3, 2);  // edges included
    EXPECT_EQ(Ink(0, 0, 10, 10, 9), 6);
    EXPECT_EQ(ReadPixel(&rp, -1, 0), -1);
    EXPECT_EQ(ReadPixel(&rp, 64, 0), -1);
    EXPECT_EQ(WritePixel(&rp, 0, 48), -1);
    EXPECT_EQ(WritePixel(&rp, 0, 47), 0);
    EXPECT_EQ(ReadPixel(&rp, 0, 47), 9);
}

TEST_F(Canvas, ClearScreenUsesPenZeroOrTheBackgroundPenInJam2) {
    SetAPen(&rp, 6);
    RectFill(&rp, 0, 0, 63, 47);
    SetDrMd(&rp, JAM1);
    SetBPen(&rp, 2);
    Move(&rp, 0, 0);
    ClearScreen(&rp);
    EXPECT_EQ(Ink(0, 0, 63, 47, 0), 64 * 48);

    SetAPen(&rp, 6);
    RectFill(&rp, 0, 0, 63, 47);
    SetDrMd(&rp, JAM2);
    Move(&rp, 30, 20 + rp.TxBaseline);  // clears the rest of this text line and all below
    ClearScreen(&rp);
    EXPECT_EQ(ReadPixel(&rp, 29, 20), 6);
    EXPECT_EQ(ReadPixel(&rp, 30, 20), 2);
    EXPECT_EQ(ReadPixel(&rp, 0, 20 + rp.TxHeight), 2);
    EXPECT_EQ(ReadPixel(&rp, 63, 19), 6);
}

TEST_F(Canvas, TextSitsOnTheBaselineInsideTheFontsLine) {
    TextAttr attr{"helvetica.font", 24, FS_NORMAL, FPF_DISKFONT};
    TextFont* font = OpenDiskFont(&attr);
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->tf_YSize, 24);
    EXPECT_GT(font->tf_Baseline, 12);
    EXPECT_LT(font->tf_Baseline, 24);
    EXPECT_TRUE(font->tf_Flags & FPF_PROPORTIONAL);
    SetFont(&rp, font);
    EXPECT_EQ(rp.TxHeight, 24);

    const int baseline = 30;
    const int top = baseline - font->tf_Baseline;
    SetAPen(&rp, 1);
    SetBPen(&rp, 5);
    SetDrMd(&rp, JAM2);
    Move(&rp, 2, baseline);
    Text(&rp, "Hg", 2);
    const int width = TextLength(&rp, "Hg", 2);
    EXPECT_EQ(rp.cp_x, 2 + width);
    EXPECT_EQ(rp.cp_y, baseline);

    // H stands on the baseline; g hangs below it; nothing leaves the line's cell.
    const int hWidth = TextLength(&rp, "H", 1);
    EXPECT_GT(Ink(2, baseline, 2 + hWidth - 1, baseline, 1), 0);
    EXPECT_EQ(Ink(2, baseline + 1, 2 + hWidth - 1, 47, 1), 0);
    EXPECT_GT(Ink(2 + hWidth, baseline + 1, 2 + width - 1, top + 23, 1), 0);
    EXPECT_EQ(Ink(0, 0, 63, top - 1, 1), 0);
    EXPECT_EQ(Ink(0, top + 24, 63, 47, 1), 0);
    // JAM2 paints the whole cell behind the glyphs.
    EXPECT_EQ(ReadPixel(&rp, 2, top), 5);
    EXPECT_EQ(ReadPixel(&rp, 2 + width - 1, top + 23), 5);
    EXPECT_EQ(ReadPixel(&rp, 2 + width, top), 0);
    EXPECT_EQ(ReadPixel(&rp, 1, top), 0);
    CloseFont(font);
}

TEST_F(Canvas, AFontOpenedFirstCountsOneAccessor) {
    // Sizes and styles no other test opens: the bitmap face's and an outline face's.
    TextAttr bitmap{"topaz.font", 8, FSF_BOLD | FSF_ITALIC | FSF_UNDERLINED, 0};
    TextAttr outline{"helvetica.font", 37, FSF_BOLD | FSF_UNDERLINED, 0};
    for (TextAttr* attr : {&bitmap, &outline}) {
        TextFont* font = OpenFont(attr);
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->tf_Accessors, 1) << attr->ta_Name;
        EXPECT_EQ(font->tf_BoldSmear, 0) << attr->ta_Name;
        EXPECT_EQ(font->tf_CharData, nullptr) << attr->ta_Name;
        CloseFont(font);
        EXPECT_EQ(font->tf_Accessors, 0) << attr->ta_Name;
    }
}

TEST_F(Canvas, FontNamesSizesAndStylesMapToTheInstalledFaces) {
    TextAttr topazAttr{"topaz.font", 8, FS_NORMAL, FPF_ROMFONT};
    TextFont* topaz = OpenFont(&topazAttr);
    ASSERT_NE(topaz, nullptr);
    EXPECT_EQ(topaz->tf_YSize, 8);
    EXPECT_FALSE(topaz->tf_Flags & FPF_PROPORTIONAL);
    SetFont(&rp, topaz);
    EXPECT_EQ(TextLength(&rp, "iiii", 4), 4 * topaz->tf_XSize);
    EXPECT_EQ(TextLength(&rp, "MMMM", 4), 4 * topaz->tf_XSize);

    TextAttr sansAttr{"helvetica.font", 13, FS_NORMAL, FPF_DISKFONT};
    TextAttr boldAttr{"helvetica.font", 13, FSF_BOLD, FPF_DISKFONT};
    TextAttr italicAttr{"helvetica.font", 13, FSF_ITALIC, FPF_DISKFONT};
    TextAttr lineAttr{"helvetica.font", 13, FSF_UNDERLINED, FPF_DISKFONT};
    TextAttr serifAttr{"times.font", 13, FS_NORMAL, FPF_DISKFONT};
    TextAttr otherAttr{"nonesuch.font", 13, FS_NORMAL, FPF_DISKFONT};
    TextFont* sans = OpenDiskFont(&sansAttr);
    TextFont* bold = OpenDiskFont(&boldAttr);
    TextFont* italic = OpenDiskFont(&italicAttr);
    TextFont* line = OpenDiskFont(&lineAttr);
    TextFont* serif = OpenDiskFont(&serifAttr);
    TextFont* other = OpenDiskFont(&otherAttr);
    for (TextFont* f : {sans, bold, italic, line, serif, other}) {
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->tf_YSize, 13);
    }
    SetFont(&rp, sans);
    EXPECT_LT(TextLength(&rp, "iiii", 4), TextLength(&rp, "MMMM", 4));

    auto inkOf = [&](TextFont* f, const char* text, int& pixels, std::string& shape) {
        SetAPen(&rp, 0);
        RectFill(&rp, 0, 0, 63, 47);
        SetFont(&rp, f);
        SetAPen(&rp, 1);
        SetDrMd(&rp, JAM1);
        Move(&rp, 1, 20);
        Text(&rp, text, static_cast<ULONG>(std::strlen(text)));
        pixels = Ink(0, 0, 63, 47, 1);
        shape.clear();
        for (int y = 0; y < 48; ++y) {
            shape += Row(y, 0, 63);
        }
    };
    int sansInk, boldInk, italicInk, lineInk, serifInk, otherInk;
    std::string sansShape, boldShape, italicShape, lineShape, serifShape, otherShape;
    inkOf(sans, "Ah", sansInk, sansShape);
    inkOf(bold, "Ah", boldInk, boldShape);
    inkOf(italic, "Ah", italicInk, italicShape);
    inkOf(serif, "Ah", serifInk, serifShape);
    inkOf(other, "Ah", otherInk, otherShape);
    inkOf(line, "Ah", lineInk, lineShape);
    EXPECT_GT(boldInk, sansInk);
    EXPECT_NE(italicShape, sansShape);
    EXPECT_NE(serifShape, sansShape);
    EXPECT_EQ(otherShape, sansShape);  // unknown names take the sans face
    // Underline: the row under the baseline is inked across the whole advance.
    const int advance = TextLength(&rp, "Ah", 2);
    EXPECT_EQ(Ink(1, 21, advance, 21, 1), advance);
    EXPECT_EQ(ReadPixel(&rp, advance + 1, 21), 0);
    EXPECT_GT(lineInk, sansInk);

    IntuiText it{1, 0, JAM1, 0, 0, &sansAttr, const_cast<STRPTR>("Measure me"), nullptr};
    SetFont(&rp, sans);
    EXPECT_EQ(IntuiTextLength(&it), TextLength(&rp, "Measure me", 10));
    for (TextFont* f : {topaz, sans, bold, italic, line, serif, other}) {
        CloseFont(f);
    }
}

// Latin-1 text as the bitmap face's file draws it, read by FreeType itself: rows of '.' and
// '1', as Row gives them, of the canvas after drawing at (x, baseline).
std::vector<std::string> FileDrawing(FT_Face face, const char* text, int x, int baseline) {
    std::vector<std::string> rows(48, std::string(64, '.'));
    for (const char* p = text; *p != '\0'; ++p) {
        const auto code = static_cast<unsigned char>(*p);
        if (FT_Load_Char(face, code, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
            ADD_FAILURE() << "no glyph for " << int(code);
            continue;
        }
        const FT_GlyphSlot slot = face->glyph;
        for (unsigned r = 0; r < slot->bitmap.rows; ++r) {
            for (unsigned c = 0; c < slot->bitmap.width; ++c) {
                const unsigned char* row = slot->bitmap.buffer + r * slot->bitmap.pitch;
                if ((row[c >> 3] >> (7 - (c & 7))) & 1) {
                    rows.at(baseline - slot->bitmap_top + 1 + r).at(x + slot->bitmap_left + c) =
                        '1';
                }
            }
        }
        x += static_cast<int>(slot->advance.x >> 6);
    }
    return rows;
}

TEST_F(Canvas, TheFixedFamiliesAtEightPixelsDrawTheBitmapFaceMadeForThatSize) {
    // Installed with the other packages the program needs (scripts/install-deps.sh).
    const std::string file = PlatformTest::BitmapFontFile();
    ASSERT_FALSE(file.empty()) << "no 8-pixel bitmap face installed (xfonts-base)";
    FT_Library library = nullptr;
    ASSERT_EQ(FT_Init_FreeType(&library), 0);
    FT_Face face = nullptr;
    ASSERT_EQ(FT_New_Face(library, file.c_str(), 0, &face), 0);
    EXPECT_FALSE(FT_IS_SCALABLE(face));
    ASSERT_EQ(face->num_fixed_sizes, 1);
    ASSERT_EQ(face->available_sizes[0].height, 8);
    ASSERT_EQ(FT_Select_Size(face, 0), 0);
    ASSERT_EQ(FT_Load_Char(face, 'M', FT_LOAD_DEFAULT), 0);
    const int advance = static_cast<int>(face->glyph->advance.x >> 6);
    const int ascent = static_cast<int>(face->size->metrics.ascender >> 6);

    const char* text = "A\xe9\xff";  // A, e acute, y diaeresis
    const std::vector<std::string> expected = FileDrawing(face, text, 3, 20);
    int upperInk = 0;
    for (const std::string& row : expected) {
        upperInk += static_cast<int>(std::count(row.begin() + 3 + advance, row.end(), '1'));
    }
    EXPECT_GT(upperInk, 0);  // the accented letters are drawn, not blank

    TextAttr topazAttr{"topaz.font", 8, FS_NORMAL, FPF_ROMFONT};
    TextAttr courierAttr{"courier.font", 8, FS_NORMAL, FPF_DISKFONT};
    TextFont* topaz = OpenFont(&topazAttr);
    TextFont* courier = OpenDiskFont(&courierAttr);
    // A fresh rastport's font is the default one, topaz 8.
    for (TextFont* font : {rp.Font, topaz, courier}) {
        ASSERT_NE(font, nullptr);
        EXPECT_EQ(font->tf_YSize, 8);
        EXPECT_EQ(font->tf_XSize, advance);
        EXPECT_EQ(font->tf_Baseline, ascent - 1);
        EXPECT_FALSE(font->tf_Flags & FPF_PROPORTIONAL);
        SetAPen(&rp, 0);
        RectFill(&rp, 0, 0, 63, 47);
        SetFont(&rp, font);
        SetAPen(&rp, 1);
        SetDrMd(&rp, JAM1);
        Move(&rp, 3, 20);
        Text(&rp, text, 3);
        EXPECT_EQ(rp.cp_x, 3 + 3 * advance);
        for (int y = 0; y < 48; ++y) {
            EXPECT_EQ(Row(y, 0, 63), expected[y])
                << font->tf_Message.mn_Node.ln_Name << " row " << y;
        }
    }

    // No bold or italic cut at this size: they are made from the regular glyphs, in the same
    // cells. Bold keeps every pixel and adds some; italic moves pixels without losing any.
    TextAttr boldAttr{"topaz.font", 8, FSF_BOLD, FPF_ROMFONT};
    TextAttr italicAttr{"topaz.font", 8, FSF_ITALIC, FPF_ROMFONT};
    TextFont* bold = OpenFont(&boldAttr);
    TextFont* italic = OpenFont(&italicAttr);
    ASSERT_NE(bold, nullptr);
    ASSERT_NE(italic, nullptr);
    auto draw = [&](TextFont* font, std::vector<std::string>& rows) {
        SetAPen(&rp, 0);
        RectFill(&rp, 0, 0, 63, 47);
        SetFont(&rp, font);
        SetAPen(&rp, 1);
        Move(&rp, 3, 20);
        Text(&rp, text, 3);
        rows.clear();
        for (int y = 0; y < 48; ++y) {
            rows.push_back(Row(y, 0, 63));
        }
        return TextLength(&rp, text, 3);
    };
    std::vector<std::string> boldRows, italicRows;
    EXPECT_EQ(draw(bold, boldRows), 3 * advance);
    EXPECT_EQ(bold->tf_XSize, advance);
    EXPECT_EQ(draw(italic, italicRows), 3 * advance);
    int regularInk = 0, boldInk = 0, italicInk = 0;
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool inked = expected[y][x] == '1';
            regularInk += inked;
            boldInk += boldRows[y][x] == '1';
            italicInk += italicRows[y][x] == '1';
            if (inked) {
                EXPECT_EQ(boldRows[y][x], '1') << x << "," << y;
            }
        }
    }
    EXPECT_GT(boldInk, regularInk);
    EXPECT_EQ(italicInk, regularInk);
    EXPECT_NE(italicRows, expected);

    // Other sizes and the proportional families keep their outline faces.
    TextAttr sansAttr{"helvetica.font", 8, FS_NORMAL, FPF_DISKFONT};
    TextAttr topaz9Attr{"topaz.font", 9, FS_NORMAL, FPF_ROMFONT};
    TextFont* sans = OpenDiskFont(&sansAttr);
    TextFont* topaz9 = OpenFont(&topaz9Attr);
    ASSERT_NE(sans, nullptr);
    ASSERT_NE(topaz9, nullptr);
    EXPECT_TRUE(sans->tf_Flags & FPF_PROPORTIONAL);
    EXPECT_EQ(topaz9->tf_YSize, 9);
    for (TextFont* f : {topaz, courier, bold, italic, sans, topaz9}) {
        CloseFont(f);
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
}

TEST_F(Canvas, TextIsClippedAtTheBitmapEdgesAndIntuiTextPrintsFromItsTop) {
    SetAPen(&rp, 1);
    SetDrMd(&rp, JAM1);
    Move(&rp, -10, 4);  // starts left of the bitmap and runs past its right edge
    Text(&rp, "WWWWWWWWWWWWWWWWWWWW", 20);
    EXPECT_GT(Ink(0, 0, 63, 47, 1), 0);
    EXPECT_EQ(rp.cp_x, -10 + TextLength(&rp, "WWWWWWWWWWWWWWWWWWWW", 20));

    SetAPen(&rp, 0);
    RectFill(&rp, 0, 0, 63, 47);
    TextAttr attr{"topaz.font", 8, FS_NORMAL, FPF_ROMFONT};
    IntuiText it{2, 3, JAM2, 4, 5, &attr, const_cast<STRPTR>("Ok"), nullptr};
    PrintIText(&rp, &it, 10, 20);
    // JAM2 paints the text's cell, whose top-left corner is the given place plus the offsets.
    EXPECT_EQ(ReadPixel(&rp, 14, 25), 3);
    EXPECT_EQ(ReadPixel(&rp, 13, 25), 0);
    EXPECT_EQ(ReadPixel(&rp, 14, 24), 0);
    EXPECT_GT(Ink(14, 25, 14 + 16, 25 + 7, 2), 0);
    EXPECT_EQ(Ink(0, 33, 63, 47, 2) + Ink(0, 33, 63, 47, 3), 0);
}

TEST_F(Canvas, PlanarImagesLandInThePickedPlanes) {
    // 20 pixels wide: two words per row. Two planes, put in pen bits 0 and 2; bit 3 always on.
    UWORD data[] = {
        // plane 0, rows 0 and 1
        0x8000,
        0x1000,
        0x4000,
        0x0000,
        // plane 1
        0x8000,
        0x0000,
        0x2000,
        0x1000,
    };
    Image image{3, 1, 20, 2, 2, data, 0x05, 0x08, nullptr};
    DrawImage(&rp, &image, 10, 10);
    EXPECT_EQ(ReadPixel(&rp, 13, 11), 0x08 | 0x01 | 0x04);  // x 0, row 0: both planes
    EXPECT_EQ(ReadPixel(&rp, 13 + 19, 11), 0x08 | 0x01);    // x 19 (second word, bit 12)
    EXPECT_EQ(ReadPixel(&rp, 13 + 1, 12), 0x08 | 0x01);     // row 1, x 1: plane 0
    EXPECT_EQ(ReadPixel(&rp, 13 + 2, 12), 0x08 | 0x04);     // row 1, x 2: plane 1
    EXPECT_EQ(ReadPixel(&rp, 13 + 5, 11), 0x08);            // neither plane: PlaneOnOff only
    EXPECT_EQ(ReadPixel(&rp, 12, 11), 0);                   // outside the image
    EXPECT_EQ(ReadPixel(&rp, 13 + 20, 11), 0);
}

TEST_F(Canvas, BlitsCopyCombineAndClip) {
    BitMap* src = AllocBitMap(8, 8, 8, BMF_CLEAR, nullptr);
    RastPort srp;
    InitRastPort(&srp);
    srp.BitMap = src;
    SetAPen(&srp, 0x0F);
    RectFill(&srp, 0, 0, 7, 7);
    SetAPen(&srp, 0x30);
    WritePixel(&srp, 0, 0);

    EXPECT_EQ(BltBitMap(src, 0, 0, bm, 4, 4, 8, 8, 0xC0, 0xFF, nullptr), 8);
    EXPECT_EQ(ReadPixel(&rp, 4, 4), 0x30);
    EXPECT_EQ(ReadPixel(&rp, 11, 11), 0x0F);
    EXPECT_EQ(ReadPixel(&rp, 12, 12), 0);
    BltBitMap(src, 1, 1, bm, 4, 4, 2, 1, 0x60, 0xFF, nullptr);  // exclusive or
    EXPECT_EQ(ReadPixel(&rp, 5, 4), 0x00);
    // Into a rastport, partly off its left and top edges.
    BltBitMapRastPort(src, 0, 0, &rp, -2, -3, 8, 8, 0xC0);
    EXPECT_EQ(ReadPixel(&rp, 0, 0), 0x0F);
    EXPECT_EQ(ReadPixel(&rp, 5, 4), 0x0F);
    EXPECT_EQ(ReadPixel(&rp, 6, 0), 0);
    EXPECT_EQ(GetBitMapAttr(src, BMA_WIDTH), 8u);
    EXPECT_EQ(GetBitMapAttr(src, BMA_DEPTH), 8u);
    FreeBitMap(src);
    EXPECT_EQ(AllocBitMap(0, 5, 8, 0, nullptr), nullptr);
}

TEST_F(Canvas, PensAndModesReadBack) {
    SetAPen(&rp, 200);
    SetBPen(&rp, 201);
    SetDrMd(&rp, COMPLEMENT);
    EXPECT_EQ(GetAPen(&rp), 200u);
    EXPECT_EQ(GetBPen(&rp), 201u);
    EXPECT_EQ(GetDrMd(&rp), static_cast<ULONG>(COMPLEMENT));
}

}  // namespace
