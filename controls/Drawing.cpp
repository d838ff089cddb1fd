#include "Drawing.h"

#include <graphics.h>
#include <intuition.h>

#include <algorithm>
#include <vector>

#include "runtime/Font.h"
#include "runtime/GUIElement.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

constexpr int kDefaultLineHeight = 10;
constexpr int kDefaultCharWidth = 8;
constexpr UWORD kSolid = 0xFFFF;

UWORD PatternOf(OrvTipoLinea type) {
    switch (type) {
        case LineDashed:
            return 0xCCCC;
        case LineDotted:
            return 0xAAAA;
        default:
            return kSolid;
    }
}

bool IsLetter(unsigned char c) {
    // Latin-1: ASCII letters and the accented ones, except the multiplication and division signs.
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

TextFont* Opened(Font* font) {
    return font != nullptr ? font->GetTextFont() : nullptr;
}

// Keeps the rastport's foreground pen, background pen, line pattern, draw mode and font for the
// length of one drawing call, so that text printed without a font of its own always comes out
// in the window's font, whatever was printed before.
class PenKeeper {
public:
    explicit PenKeeper(RastPort* rastPort)
        : rp(rastPort),
          aPen(GetAPen(rp)),
          bPen(GetBPen(rp)),
          mode(GetDrMd(rp)),
          pattern(rp->LinePtrn),
          font(rp->Font) {}
    ~PenKeeper() {
        if (rp->Font != font) {
            SetFont(rp, font);
        }
        SetAPen(rp, aPen);
        SetBPen(rp, bPen);
        SetDrMd(rp, mode);
        if (rp->LinePtrn != pattern) {
            SetDrPt(rp, pattern);
        }
    }
    PenKeeper(const PenKeeper&) = delete;
    PenKeeper& operator=(const PenKeeper&) = delete;

private:
    RastPort* rp;
    ULONG aPen;
    ULONG bPen;
    ULONG mode;
    UWORD pattern;
    TextFont* font;
};

// The pens for a line of text: with a background, letters are drawn on it; without one, only
// the letters' own pixels change.
void SetLinePens(RastPort* rp, int colour, int background, bool first) {
    SetAPen(rp, static_cast<ULONG>(colour));
    if (background == -1) {
        SetDrMd(rp, JAM1);
        return;
    }
    if (first) {
        SetBPen(rp, static_cast<ULONG>(background));
    }
    SetDrMd(rp, JAM2);
}

// Where a line of the given width starts in a box of width w.
int AlignedX(int x, int w, int width, OrvAlign align) {
    if (align == AlignLeft) {
        return x;
    }
    if (align == AlignRight) {
        return x + w - width;
    }
    return x + (w - width) / 2;
}

}  // namespace

Drawing::Drawing(RastPort* rastPort) : rp(rastPort) {
    if (rp != nullptr) {
        LockLayerRom(rp->Layer);
    }
}

Drawing::~Drawing() {
    if (rp != nullptr) {
        UnlockLayerRom(rp->Layer);
    }
}

// ---- Measures ------------------------------------------------------------------------------

int Drawing::GetHeightFont() {
    return kDefaultLineHeight;
}

int Drawing::GetHeightFont(Font* font) {
    const TextFont* f = Opened(font);
    return f != nullptr ? f->tf_YSize : kDefaultLineHeight;
}

int Drawing::GetHeightFont(GUIElement* element) {
    return GetHeightFont(element != nullptr ? element->GetFonts() : nullptr);
}

int Drawing::GetWidthFont() {
    return kDefaultCharWidth;
}

int Drawing::GetWidthFont(Font* font) {
    const TextFont* f = Opened(font);
    return f != nullptr ? f->tf_XSize : kDefaultCharWidth;
}

int Drawing::GetWidthMaxFont() {
    return kDefaultCharWidth;
}

int Drawing::GetWidthMaxFont(Font* font) {
    return GetWidthFont(font);
}

int Drawing::GetStringWidth(GUIElement* element, const std::string& text) {
    const int charWidth = GetWidthFont(element != nullptr ? element->GetFonts() : nullptr);
    return charWidth * static_cast<int>(text.size());
}

int Drawing::GetStringWidth(const std::string& /*text*/) {
    return -1;
}

int Drawing::LineHeightSettingFont(Font* font) {
    TextFont* f = Opened(font);
    if (f == nullptr) {
        return kDefaultLineHeight;
    }
    if (rp != nullptr) {
        SetFont(rp, f);
    }
    return f->tf_YSize;
}

int Drawing::Measure(const std::string& text) {
    // The rastport's font is the one Text will use, so that is the one measured.
    if (rp != nullptr) {
        return TextLength(rp, text.c_str(), static_cast<ULONG>(text.size()));
    }
    IntuiText it{};
    it.IText = const_cast<STRPTR>(text.c_str());
    return IntuiTextLength(&it);
}

Drawing::Line Drawing::CutLine(const std::string& text, int w, bool boxed) {
    Line line;
    const size_t newline = text.find('\n');
    if (newline != std::string::npos) {
        line.text = text.substr(0, newline);
        line.hasRemainder = text != "\n";
        if (line.hasRemainder) {
            line.remainder = text.substr(newline);
        }
    } else {
        line.text = text;
    }
    if (!boxed) {
        return line;
    }
    line.width = Measure(line.text);
    if (line.width <= w) {
        return line;
    }
    // Longest front part that fits; at least one character, or a box narrower than one
    // character would give an empty line and the same text back, for ever.
    size_t keep = line.text.size();
    int width = line.width;
    while (keep > 1 && width > w) {
        --keep;
        width = Measure(line.text.substr(0, keep));
    }
    if (keep == line.text.size()) {
        return line;  // a single character wider than the box: printed as it is
    }
    if (IsLetter(static_cast<unsigned char>(line.text[keep]))) {
        const size_t space = line.text.rfind(' ', keep - 1);
        if (space != std::string::npos) {
            keep = space;
        }
    }
    const std::string rest = text.substr(keep);
    line.text.resize(keep);
    line.width = Measure(line.text);
    line.remainder = rest;
    line.hasRemainder = true;
    line.wrapped = true;
    return line;
}

int Drawing::GetStringHeight(int width, const std::string& text, Font* font) {
    // Iterative, so a long text cannot exhaust the stack.
    int total = 0;
    std::string rest = text;
    for (;;) {
        const int lineHeight = LineHeightSettingFont(font);
        const Line line = CutLine(rest, width, width >= 1);
        total += lineHeight;
        if (!line.hasRemainder) {
            return total;
        }
        rest = StringUtils::Trim(line.remainder);
    }
}

// ---- Pixels, lines, rectangles -------------------------------------------------------------

void Drawing::DrawPixel(int x, int y, int colour) {
    if (rp == nullptr) {
        return;
    }
    const PenKeeper keep(rp);
    SetAPen(rp, static_cast<ULONG>(colour));
    WritePixel(rp, x, y);
}

int Drawing::GetColorPixel(int x, int y) {
    return rp != nullptr ? ReadPixel(rp, x, y) : -1;
}

void Drawing::Stroke(int x1, int y1, int x2, int y2, int thickness) {
    for (int i = 0; i < thickness; ++i) {
        if (y1 != y2) {
            Move(rp, static_cast<WORD>(x1 + i), static_cast<WORD>(y1));
            Draw(rp, x2 + i, y2);
        } else {
            Move(rp, static_cast<WORD>(x1), static_cast<WORD>(y1 + i));
            Draw(rp, x2, y2 + i);
        }
    }
}

void Drawing::DrawLine(int x1, int y1, int x2, int y2, OrvTipoLinea type, int thickness,
                       int colour) {
    if (rp == nullptr) {
        return;
    }
    const PenKeeper keep(rp);
    SetDrPt(rp, PatternOf(type));
    // The gaps of a dashed or dotted line show what was there before.
    SetDrMd(rp, JAM1);
    SetAPen(rp, static_cast<ULONG>(colour));
    Stroke(x1, y1, x2, y2, thickness);
}

void Drawing::DrawLine(int x1, int y1, int x2, int y2, int thickness, int colour) {
    DrawLine(x1, y1, x2, y2, LineSolid, thickness, colour);
}

void Drawing::DrawLine(int x1, int y1, int x2, int y2, int colour) {
    DrawLine(x1, y1, x2, y2, LineSolid, 1, colour);
}

void Drawing::DrawRectangle(int x, int y, int w, int h, int thickness, int colour) {
    const int t = thickness == 0 ? 1 : thickness;
    const int right = x + w - 1;
    const int bottom = y + h - 1;
    DrawLine(x, y, right, y, t, colour);
    DrawLine(right, y, right, bottom, t, colour);
    DrawLine(x, bottom, right, bottom, t, colour);
    DrawLine(x, bottom, x, y, t, colour);
}

void Drawing::DrawRoundRectangle(int x, int y, int w, int h, int /*radius*/, int thickness,
                                 int colour) {
    DrawRectangle(x, y, w, h, thickness, colour);
}

void Drawing::DrawFillRectangle(int x, int y, int w, int h, int borderThickness, int borderColour,
                                int fillColour) {
    if (rp == nullptr) {
        return;
    }
    {
        const PenKeeper keep(rp);
        SetAPen(rp, static_cast<ULONG>(fillColour));
        RectFill(rp, x, y, x + w - 1, y + h - 1);
    }
    if (borderThickness > 0) {
        DrawRectangle(x, y, w - 1, h - 1, borderThickness, borderColour);
    }
}

void Drawing::DrawFillRoundRectangle(int x, int y, int w, int h, int /*radius*/,
                                     int borderThickness, int borderColour, int fillColour) {
    DrawFillRectangle(x, y, w, h, borderThickness, borderColour, fillColour);
}

void Drawing::DrawPolyline(const tagPOINT* points, int count, OrvTipoLinea type, int thickness,
                           int colour) {
    if (rp == nullptr || points == nullptr || count <= 0) {
        return;
    }
    const PenKeeper keep(rp);
    SetAPen(rp, static_cast<ULONG>(colour));
    SetDrPt(rp, PatternOf(type));
    SetDrMd(rp, JAM1);
    std::vector<WORD> table(static_cast<size_t>(count) * 2);
    for (int k = 0; k < count; ++k) {
        table[2 * k] = static_cast<WORD>(points[k].x);
        table[2 * k + 1] = static_cast<WORD>(points[k].y);
    }
    for (int pass = 0; pass < thickness; ++pass) {
        Move(rp, table[0], table[1]);
        PolyDraw(rp, count, table.data());
        // The next pass runs one pixel over: to the right, except along horizontal segments,
        // which move down so that they thicken too.
        table[0] = static_cast<WORD>(table[0] + 1);
        for (int k = 0; k + 1 < count; ++k) {
            WORD& yk = table[2 * k + 1];
            WORD& xNext = table[2 * (k + 1)];
            WORD& yNext = table[2 * (k + 1) + 1];
            if (yk == yNext) {
                const WORD lowered = static_cast<WORD>(yk + 1);
                yk = lowered;
                yNext = lowered;
            } else {
                xNext = static_cast<WORD>(xNext + 1);
            }
        }
    }
}

void Drawing::DrawPolyline(const tagPOINT* points, int count, int thickness, int colour) {
    DrawPolyline(points, count, LineSolid, thickness, colour);
}

void Drawing::DrawImageEx(int x, int y, Image* image) {
    if (rp == nullptr || image == nullptr) {
        return;
    }
    DrawImage(rp, image, x, y);
}

void Drawing::DrawImageEx(int x, int y, int /*w*/, int /*h*/, Image* image) {
    DrawImageEx(x, y, image);
}

// ---- Text ----------------------------------------------------------------------------------

void Drawing::PrintText(int x, int y, int w, int h, const std::string& text, int colour,
                        int background, Font* font, OrvAlign align, short firstCall) {
    if (rp == nullptr) {
        return;
    }
    const PenKeeper keep(rp);
    // One line per pass: the text left after a line is printed below it, in what is left of the
    // box, as a continuation (no background fill, no vertical centring).
    bool first = firstCall != 0;
    std::string rest = text;
    int top = y;
    int height = h;
    for (;;) {
        const int lineHeight = LineHeightSettingFont(font);
        // A caller's box shorter than a line shows nothing; a continuation stops once the box is
        // used up (the remaining height is negative only when there is no box at all).
        const bool tooShort =
            first ? (height > 0 && lineHeight > height) : (height >= 0 && height < lineHeight);
        if (tooShort) {
            return;
        }
        const bool boxed = w > 0 && height > 0;
        const Line line = CutLine(rest, w, boxed);
        // With a background, the first line fills its box with it.
        if (background != -1 && first && boxed) {
            SetAPen(rp, static_cast<ULONG>(background));
            RectFill(rp, x, top, x + w - 1, top + height - 1);
        }
        SetLinePens(rp, colour, background, first);
        const int textX = line.wrapped ? x : AlignedX(x, w, line.width, align);
        int baseline = top + lineHeight;
        // A single line sits in the middle of its box; without a box there is nothing to centre
        // it in.
        if (!line.hasRemainder && first && height > 0) {
            baseline += (height - lineHeight) / 2;
        }
        Move(rp, static_cast<WORD>(textX), static_cast<WORD>(baseline));
        Text(rp, line.text.c_str(), static_cast<ULONG>(line.text.size()));
        if (!line.hasRemainder) {
            return;
        }
        rest = StringUtils::Trim(line.remainder);
        top += lineHeight;
        height -= lineHeight;
        first = false;
    }
}

void Drawing::PrintText(int x, int y, int w, int h, const std::string& text, int colour,
                        int background, Font* font, OrvAlign align) {
    PrintText(x, y, w, h, text, colour, background, font, align, 1);
}

void Drawing::PrintText(int x, int y, const std::string& text, int colour) {
    PrintText(x, y, 0, 0, text, colour, -1, nullptr, AlignLeft, 1);
}

void Drawing::PrintText(int x, int y, const std::string& text, int colour, int background) {
    PrintText(x, y, 0, 0, text, colour, background, nullptr, AlignLeft, 1);
}

void Drawing::PrintText(int x, int y, int w, int h, const std::string& text, int colour) {
    PrintText(x, y, w, h, text, colour, -1, nullptr, AlignLeft, 1);
}

}  // namespace tessella
