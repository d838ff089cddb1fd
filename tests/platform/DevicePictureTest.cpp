// The screen drawn at the size the desktop shows it: lines and fills as whole blocks of device
// pixels, one screen pixel wide at any factor, and text drawn again by the font engine at the
// shown size rather than enlarged, only where the screen still shows it as it was drawn.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "graphics.h"
#include "intuition.h"
#include "platform_test.h"
#include "tests/support/PenColours.h"

namespace {

// The first device column (or row) that shows screen column (or row) i: device pixel d shows
// screen pixel d * screen / device.
int DeviceEdge(int i, int screen, int device) {
    return (i * device + screen - 1) / screen;
}

// The screen as it is, and as a desktop window of another size shows it.
struct Frame {
    int width = 0;
    int height = 0;
    std::vector<ULONG> colours;  // the screen's own pixels, 0xRRGGBB
    std::vector<UBYTE> pens;
};

constexpr int kWidth = 320;
constexpr int kHeight = 200;
constexpr UBYTE kGround = 20;
constexpr UBYTE kInk = 1;
const char kWords[] = "Hamburgefonts";

class DevicePicture : public ::testing::Test {
protected:
    void SetUp() override {
        screen = OpenScreenTags(nullptr, SA_Width, kWidth, SA_Height, kHeight, SA_Depth, 8,
                                SA_ShowTitle, FALSE, SA_Type, CUSTOMSCREEN);
        ASSERT_NE(screen, nullptr);
        tessella::testing::LoadPenColours(screen);
        window = OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 0, WA_Top, 0, WA_Width,
                                kWidth, WA_Height, kHeight, WA_Flags,
                                WFLG_BACKDROP | WFLG_BORDERLESS, WA_IDCMP, 0);
        ASSERT_NE(window, nullptr);
        rp = window->RPort;
        SetAPen(rp, kGround);
        RectFill(rp, 0, 0, kWidth - 1, kHeight - 1);
    }

    void TearDown() override {
        CloseWindow(window);
        EXPECT_EQ(CloseScreen(screen), TRUE);
        EXPECT_TRUE(PlatformTest::WaitIdle());
    }

    static ULONG Colour(UBYTE pen) { return tessella::testing::PenColour(pen); }

    void Write(int x, int y, const char* text) {
        SetAPen(rp, kInk);
        SetDrMd(rp, JAM1);
        Move(rp, x, y);
        Text(rp, text, static_cast<ULONG>(std::strlen(text)));
    }

    // The screen, and its picture at deviceWidth x deviceHeight, as 0xRRGGBB.
    static std::vector<ULONG> Picture(int deviceWidth, int deviceHeight, Frame& frame) {
        frame.width = kWidth;
        frame.height = kHeight;
        int width = 0;
        EXPECT_TRUE(PlatformTest::ReadScreenPicture(kWidth, kHeight, &frame.colours));
        EXPECT_TRUE(PlatformTest::ReadScreenPens(&frame.pens, &width));
        EXPECT_EQ(width, kWidth);
        std::vector<ULONG> device;
        EXPECT_TRUE(PlatformTest::ReadScreenPicture(deviceWidth, deviceHeight, &device));
        return device;
    }

    // The colour of the screen pixel that device pixel (x, y) stands for: the enlarged picture.
    static ULONG Enlarged(const Frame& frame, int deviceWidth, int deviceHeight, int x, int y) {
        const int sx = x * frame.width / deviceWidth;
        const int sy = y * frame.height / deviceHeight;
        return frame.colours[static_cast<size_t>(sy) * frame.width + sx];
    }

    Screen* screen = nullptr;
    Window* window = nullptr;
    RastPort* rp = nullptr;
};

struct Box {
    int x0, y0, x1, y1;  // device pixels, [x0, x1) x [y0, y1)
    bool Holds(int x, int y) const { return x >= x0 && x < x1 && y >= y0 && y < y1; }
};

// The device box of the screen box [left, right) x [top, bottom).
Box DeviceBox(int left, int top, int right, int bottom, int dw, int dh) {
    return Box{DeviceEdge(left, kWidth, dw), DeviceEdge(top, kHeight, dh),
               DeviceEdge(right, kWidth, dw), DeviceEdge(bottom, kHeight, dh)};
}

TEST_F(DevicePicture, AtTwiceTheSizeTextIsDrawnAgainAndAllElseIsWholeBlocks) {
    // A frame of one-pixel lines, and a line of text in the default 8-pixel font.
    SetAPen(rp, kInk);
    Move(rp, 20, 20);
    Draw(rp, 120, 20);
    Draw(rp, 120, 60);
    Draw(rp, 20, 60);
    Draw(rp, 20, 20);
    Write(30, 100, kWords);
    const int advance = TextLength(rp, kWords, sizeof kWords - 1);
    const int top = 100 - rp->Font->tf_Baseline - 1;  // a line of slack for the ink above
    const int bottom = 100 + rp->Font->tf_YSize;

    for (const auto& [dw, dh] : {std::pair{640, 400}, std::pair{480, 300}, std::pair{880, 550}}) {
        SCOPED_TRACE(dw);
        Frame frame;
        const std::vector<ULONG> device = Picture(dw, dh, frame);
        const Box text = DeviceBox(28, top, 30 + advance + 2, bottom, dw, dh);
        // Outside the text, every device pixel is the screen pixel it stands for.
        for (int y = 0; y < dh; ++y) {
            for (int x = 0; x < dw; ++x) {
                if (!text.Holds(x, y)) {
                    ASSERT_EQ(device[static_cast<size_t>(y) * dw + x],
                              Enlarged(frame, dw, dh, x, y))
                        << x << "," << y;
                }
            }
        }
        // The frame's left line is one screen pixel wide: its block and nothing either side.
        const int row = DeviceEdge(40, kHeight, dh);
        const int from = DeviceEdge(20, kWidth, dw);
        const int to = DeviceEdge(21, kWidth, dw);
        EXPECT_EQ(device[static_cast<size_t>(row) * dw + from - 1], Colour(kGround));
        for (int x = from; x < to; ++x) {
            EXPECT_EQ(device[static_cast<size_t>(row) * dw + x], Colour(kInk));
        }
        EXPECT_EQ(device[static_cast<size_t>(row) * dw + to], Colour(kGround));

        // The text is not the 8-pixel glyphs enlarged: its ink has edges inside the blocks,
        // and shades between ink and ground where the outline crosses a device pixel.
        int edgesInsideBlocks = 0;
        int inked = 0;
        int shaded = 0;
        for (int y = text.y0; y < text.y1; ++y) {
            for (int x = text.x0; x < text.x1; ++x) {
                const ULONG p = device[static_cast<size_t>(y) * dw + x];
                inked += p == Colour(kInk) ? 1 : 0;
                shaded += p != Colour(kInk) && p != Colour(kGround) ? 1 : 0;
                if (x > text.x0 && x * kWidth / dw == (x - 1) * kWidth / dw &&
                    p != device[static_cast<size_t>(y) * dw + x - 1]) {
                    ++edgesInsideBlocks;
                }
            }
        }
        EXPECT_GT(edgesInsideBlocks, 20);
        EXPECT_GT(inked, 20);
        EXPECT_GT(shaded, 20);
    }
}

TEST_F(DevicePicture, AtTheScreensOwnSizeThePictureIsItsPens) {
    Write(30, 100, kWords);
    Frame frame;
    const std::vector<ULONG> device = Picture(kWidth, kHeight, frame);
    ASSERT_EQ(device.size(), frame.pens.size());
    for (size_t i = 0; i < device.size(); ++i) {
        ASSERT_EQ(device[i], Colour(frame.pens[i])) << i;
    }
    // Rows of it: the same pixels.
    std::vector<ULONG> rows;
    ASSERT_TRUE(PlatformTest::ReadScreenPicture(640, 400, &rows, 150, 250));
    std::vector<ULONG> whole;
    ASSERT_TRUE(PlatformTest::ReadScreenPicture(640, 400, &whole));
    ASSERT_EQ(rows.size(), 640u * 100u);
    EXPECT_TRUE(std::equal(rows.begin(), rows.end(), whole.begin() + 640 * 150));
}

TEST_F(DevicePicture, TextOnlyPartlyLeftIsDrawnAgainOnlyWhereItShows) {
    Write(30, 100, kWords);
    const int advance = TextLength(rp, kWords, sizeof kWords - 1);
    // Half the line painted over, and the other half's glyphs left as they were.
    SetAPen(rp, kGround);
    RectFill(rp, 0, 80, 30 + advance / 2, 120);
    Frame frame;
    const std::vector<ULONG> device = Picture(640, 400, frame);
    int redrawn = 0;
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool same =
                device[static_cast<size_t>(y) * 640 + x] == Enlarged(frame, 640, 400, x, y);
            if (x < 2 * (30 + advance / 2 + 1)) {
                ASSERT_TRUE(same) << x << "," << y;  // nothing of the painted-over glyphs
            } else {
                redrawn += same ? 0 : 1;
            }
        }
    }
    EXPECT_GT(redrawn, 20);

    // All of it painted over: the picture is the screen enlarged, all through.
    RectFill(rp, 0, 80, kWidth - 1, 120);
    const std::vector<ULONG> none = Picture(640, 400, frame);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 640; ++x) {
            ASSERT_EQ(none[static_cast<size_t>(y) * 640 + x], Enlarged(frame, 640, 400, x, y))
                << x << "," << y;
        }
    }
}

TEST_F(DevicePicture, TextWrittenAgainOverItselfShowsNoOldInk) {
    Write(30, 100, kWords);
    Frame once;
    const std::vector<ULONG> first = Picture(480, 300, once);
    Write(30, 100, kWords);  // as a refresh draws a label again without clearing it
    Frame twice;
    EXPECT_EQ(Picture(480, 300, twice), first);
    EXPECT_EQ(twice.pens, once.pens);
}

TEST_F(DevicePicture, BlankCellsWrittenIntoAFilledOutLineShowNoneOfItsOldInk) {
    Write(30, 100, kWords);
    // A highlight in the text's own colour covers the line; blank cells are written into it.
    SetAPen(rp, kInk);
    RectFill(rp, 20, 80, 200, 110);
    Write(30, 100, "             ");
    Frame frame;
    const std::vector<ULONG> device = Picture(640, 400, frame);
    const Box box = DeviceBox(20, 80, 201, 111, 640, 400);
    int other = 0;
    for (int y = box.y0; y < box.y1; ++y) {
        for (int x = box.x0; x < box.x1; ++x) {
            other += device[static_cast<size_t>(y) * 640 + x] != Colour(kInk) ? 1 : 0;
        }
    }
    EXPECT_EQ(other, 0);
}

// Text in a font of the given style, in kInk on kGround, with the mode given.
class StyledText : public DevicePicture {
protected:
    void TearDown() override {
        for (TextFont* font : opened) {
            CloseFont(font);
        }
        DevicePicture::TearDown();
    }
    int WriteStyled(int x, int y, const char* text, UBYTE style, UBYTE mode) {
        TextAttr attr{"topaz.font", 8, style, 0};
        TextFont* styled = OpenFont(&attr);
        EXPECT_NE(styled, nullptr);
        opened.push_back(styled);
        SetFont(rp, styled);
        SetAPen(rp, kInk);
        SetDrMd(rp, mode);
        Move(rp, x, y);
        const ULONG count = static_cast<ULONG>(std::strlen(text));
        Text(rp, text, count);
        return TextLength(rp, text, count);
    }
    std::vector<TextFont*> opened;
};

TEST_F(StyledText, TheUnderlineOfLeaningTextEndsWhereItsPenDoes) {
    // The same leaning words with and without the line under them: redrawn at twice the size,
    // the rows of the line differ only between the pen's start and end.
    const int plain = WriteStyled(30, 60, "jMjM", FSF_ITALIC, JAM1);
    const int lined = WriteStyled(30, 100, "jMjM", FSF_ITALIC | FSF_UNDERLINED, JAM1);
    ASSERT_EQ(plain, lined);
    Frame frame;
    const std::vector<ULONG> device = Picture(640, 400, frame);
    const int row = 100 + 1;  // the row under the baseline
    const int from = DeviceEdge(30, kWidth, 640);
    const int to = DeviceEdge(30 + lined, kWidth, 640);
    int differing = 0;
    for (int y = DeviceEdge(row, kHeight, 400); y < DeviceEdge(row + 1, kHeight, 400); ++y) {
        for (int x = 0; x < 640; ++x) {
            if (x >= from && x < to) {
                continue;
            }
            differing += device[static_cast<size_t>(y) * 640 + x] !=
                                 device[static_cast<size_t>(y - 80) * 640 + x]
                             ? 1
                             : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(StyledText, ComplementedTextKeepsItsUnderlineWhenDrawnAgain) {
    const int width = WriteStyled(30, 100, "HHHH", FSF_UNDERLINED, COMPLEMENT);
    Frame frame;
    const std::vector<ULONG> device = Picture(640, 400, frame);
    const int row = 100 + 1;
    ASSERT_EQ(frame.pens[static_cast<size_t>(row) * kWidth + 31], kGround ^ 0xFF);
    int shown = 0;
    int all = 0;
    for (int y = DeviceEdge(row, kHeight, 400); y < DeviceEdge(row + 1, kHeight, 400); ++y) {
        for (int x = DeviceEdge(30, kWidth, 640); x < DeviceEdge(30 + width, kWidth, 640); ++x) {
            shown += device[static_cast<size_t>(y) * 640 + x] == Colour(kGround ^ 0xFF) ? 1 : 0;
            ++all;
        }
    }
    EXPECT_GE(shown, all * 3 / 4) << shown << " of " << all;
}

TEST_F(StyledText, LeaningInkStaysOutOfAGlyphNoLongerShown) {
    WriteStyled(30, 100, "TTT", FSF_ITALIC, JAM1);
    const int advance = TextLength(rp, "T", 1);
    // A block cursor over the middle glyph: only its neighbours are drawn again, and their ink
    // leaning towards it stays off it.
    SetAPen(rp, 3);
    RectFill(rp, 30 + advance, 90, 30 + 2 * advance - 1, 105);
    Frame frame;
    const std::vector<ULONG> device = Picture(1280, 800, frame);
    int drawnOver = 0;
    for (int y = 0; y < 800; ++y) {
        for (int x = DeviceEdge(30 + advance, kWidth, 1280);
             x < DeviceEdge(30 + 2 * advance, kWidth, 1280); ++x) {
            drawnOver +=
                device[static_cast<size_t>(y) * 1280 + x] != Enlarged(frame, 1280, 800, x, y) ? 1
                                                                                              : 0;
        }
    }
    EXPECT_EQ(drawnOver, 0);
}

TEST_F(DevicePicture, TextWrittenAgainAfterOneOfItsCellsChangedShowsNoOldInkInTheOthers) {
    Write(30, 100, kWords);
    Frame once;
    const std::vector<ULONG> first = Picture(480, 300, once);
    // A dot in the last glyph's cell, then the label drawn again without clearing it.
    const int width = TextLength(rp, kWords, static_cast<ULONG>(std::strlen(kWords)));
    const int advance = TextLength(rp, "m", 1);
    SetAPen(rp, 3);
    WritePixel(rp, 30 + width - 1, 100 - rp->Font->tf_Baseline);
    Write(30, 100, kWords);
    Frame again;
    const std::vector<ULONG> second = Picture(480, 300, again);
    int differing = 0;
    for (int y = 0; y < 300; ++y) {
        for (int x = 0; x < DeviceEdge(30 + width - 2 * advance, kWidth, 480); ++x) {
            const size_t i = static_cast<size_t>(y) * 480 + x;
            differing += first[i] != second[i] ? 1 : 0;
        }
    }
    EXPECT_EQ(differing, 0);
}

TEST_F(DevicePicture, ControlCodesKeepTheInkTheFontGivesThem) {
    // Codes without a printable character keep the shape the font gives them, at any size.
    for (const char* text : {"\x01\x01", "\x81\x81", "\x7f\x7f"}) {
        SetAPen(rp, kGround);
        RectFill(rp, 0, 0, kWidth - 1, kHeight - 1);
        Write(30, 100, text);
        Frame frame;
        const std::vector<ULONG> device = Picture(640, 400, frame);
        int screenInk = 0;
        for (int y = 80; y < 120; ++y) {
            for (int x = 20; x < 60; ++x) {
                screenInk += frame.pens[static_cast<size_t>(y) * kWidth + x] == kInk ? 1 : 0;
            }
        }
        int deviceInk = 0;
        for (int y = 160; y < 240; ++y) {
            for (int x = 40; x < 120; ++x) {
                deviceInk += device[static_cast<size_t>(y) * 640 + x] != Colour(kGround) ? 1 : 0;
            }
        }
        EXPECT_EQ(screenInk > 0, deviceInk > 0)
            << static_cast<int>(static_cast<unsigned char>(text[0]));
    }
}

TEST_F(DevicePicture, TextCutByTheScreensTopSitsWhereTheRestOfItsLineWould) {
    // The same words with their cell's top 3 rows above the screen, and wholly on it 40 rows
    // and 100 columns further: the rows both show are the same at a fractional factor too.
    const int baseline = rp->Font->tf_Baseline;
    Write(30, baseline - 3, kWords);
    Write(130, baseline + 37, kWords);
    const int width = TextLength(rp, kWords, static_cast<ULONG>(std::strlen(kWords)));
    for (const int dw : {640, 480}) {
        const int dh = dw * kHeight / kWidth;
        Frame frame;
        const std::vector<ULONG> device = Picture(dw, dh, frame);
        const int rows = DeviceEdge(rp->Font->tf_YSize - 3, kHeight, dh);
        const int down = DeviceEdge(40, kHeight, dh);
        const int across = DeviceEdge(100, kWidth, dw);
        int differing = 0;
        for (int y = 0; y < rows; ++y) {
            for (int x = DeviceEdge(30, kWidth, dw); x < DeviceEdge(30 + width, kWidth, dw); ++x) {
                differing += device[static_cast<size_t>(y) * dw + x] !=
                                     device[static_cast<size_t>(y + down) * dw + x + across]
                                 ? 1
                                 : 0;
            }
        }
        EXPECT_EQ(differing, 0) << dw;
    }
}

TEST_F(DevicePicture, TheSnapshotAtAFactorIsThePictureAtThatSize) {
    Write(30, 100, kWords);
    Frame frame;
    const std::vector<ULONG> device = Picture(640, 400, frame);
    const std::string path = "device_picture_2x.png";
    ASSERT_TRUE(PlatformTest::SaveScreenPNG(path.c_str(), 2.0));
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    ASSERT_NE(png_image_begin_read_from_file(&image, path.c_str()), 0);
    image.format = PNG_FORMAT_RGB;
    std::vector<png_byte> rgb(PNG_IMAGE_SIZE(image));
    ASSERT_NE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr), 0);
    ASSERT_EQ(image.width, 640u);
    ASSERT_EQ(image.height, 400u);
    for (size_t i = 0; i < device.size(); ++i) {
        const ULONG p = (ULONG{rgb[3 * i]} << 16) | (ULONG{rgb[3 * i + 1]} << 8) | rgb[3 * i + 2];
        ASSERT_EQ(p, device[i]) << i;
    }
    std::remove(path.c_str());
    // A factor out of range writes nothing.
    EXPECT_FALSE(PlatformTest::SaveScreenPNG(path.c_str(), 0.5));
    EXPECT_FALSE(PlatformTest::SaveScreenPNG(path.c_str(), 9.0));
    EXPECT_FALSE(std::ifstream(path).good());
}

TEST_F(DevicePicture, LargeTypeShownAtManySizesStaysWithinItsMemory) {
    // A window resized through many sizes, showing a line of very large type.
    TextAttr attr{"helvetica.font", 100, FS_NORMAL, FPF_DISKFONT};
    TextFont* font = OpenFont(&attr);
    ASSERT_NE(font, nullptr);
    SetFont(rp, font);
    Write(10, 120, "Ag");
    std::vector<ULONG> picture;
    size_t most = 0;
    for (int width = 400; width <= 1600; width += 40) {
        ASSERT_TRUE(PlatformTest::ReadScreenPicture(width, width * kHeight / kWidth, &picture));
        most = std::max(most, PlatformTest::ScaledFontBytes());
    }
    // At most the budget and the one face in use beyond it (the newest is always kept).
    EXPECT_GT(most, 1u << 20);
    EXPECT_LE(PlatformTest::ScaledFontBytes(), (8u << 20) + (6u << 20)) << most;
    CloseFont(font);
}

}  // namespace
