#include "GadgetLook.h"

#include <algorithm>

namespace tessella::graphics::look {

void Fill(RastPort* rp, int x, int y, int w, int h, UBYTE pen) {
    if (w <= 0 || h <= 0) {
        return;
    }
    SetAPen(rp, pen);
    SetDrMd(rp, JAM1);
    RectFill(rp, x, y, x + w - 1, y + h - 1);
}

void Bevel(RastPort* rp, int x, int y, int w, int h, bool recessed) {
    if (w < 2 || h < 2) {
        return;
    }
    const UBYTE light = recessed ? kShadowPen : kShinePen;
    const UBYTE dark = recessed ? kShinePen : kShadowPen;
    Fill(rp, x, y, w, 1, light);
    Fill(rp, x, y, 1, h, light);
    Fill(rp, x + 1, y + h - 1, w - 1, 1, dark);
    Fill(rp, x + w - 1, y + 1, 1, h - 1, dark);
}

void Ridge(RastPort* rp, int x, int y, int w, int h) {
    Bevel(rp, x, y, w, h, false);
    Bevel(rp, x + 1, y + 1, w - 2, h - 2, true);
}

void Ghost(RastPort* rp, int x, int y, int w, int h) {
    SetAPen(rp, kGhostPen);
    for (int row = 0; row < h; row += 2) {
        const int shift = (row / 2) % 2 == 0 ? 0 : 2;
        for (int col = shift; col < w; col += 4) {
            WritePixel(rp, x + col, y + row);
        }
    }
}

int TextWidth(TextFont* font, const std::string& text) {
    if (font == nullptr || text.empty()) {
        return 0;
    }
    RastPort rp;
    InitRastPort(&rp);
    SetFont(&rp, font);
    return TextLength(&rp, text.data(), static_cast<ULONG>(text.size()));
}

int Justify(int x, int w, int textWidth, int justification) {
    switch (justification) {
        case 1:
            return x + w - textWidth;
        case 2:
            return x + (w - textWidth) / 2;
        default:
            return x;
    }
}

void TextAt(RastPort* rp, TextFont* font, const std::string& text, int x, int y, int w, int h,
            UBYTE pen, int underscore) {
    if (font == nullptr || text.empty() || w <= 0) {
        return;
    }
    SetFont(rp, font);
    SetAPen(rp, pen);
    SetDrMd(rp, JAM1);
    // As many characters as fit in the box.
    ULONG count = static_cast<ULONG>(text.size());
    while (count > 0 && TextLength(rp, text.data(), count) > w) {
        --count;
    }
    const int top = y + (h - font->tf_YSize) / 2;
    const int baseline = top + font->tf_Baseline;
    Move(rp, static_cast<WORD>(x), static_cast<WORD>(baseline));
    Text(rp, text.data(), count);
    if (underscore >= 0 && static_cast<ULONG>(underscore) < count) {
        const int from = x + TextLength(rp, text.data(), static_cast<ULONG>(underscore));
        const int width = TextLength(rp, text.data() + underscore, 1);
        Fill(rp, from, baseline + 1, width, 1, pen);
    }
}

}  // namespace tessella::graphics::look
