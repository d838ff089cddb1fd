#include "Canvas.h"
#include "FontFace.h"

namespace tessella::graphics {

int MeasureText(const TextFont* font, const UBYTE* text, size_t count) {
    const FontFace* face = FaceOf(font);
    int width = 0;
    for (size_t i = 0; i < count; ++i) {
        width += face->glyphs[text[i]].advance;
    }
    return width;
}

int DrawText(const Canvas& canvas, const TextFont* font, int x, int baselineY, const UBYTE* text,
             size_t count, UBYTE fgPen, UBYTE bgPen, UBYTE drawMode) {
    const FontFace* face = FaceOf(font);
    const bool complement = drawMode & COMPLEMENT;
    if (drawMode & INVERSVID) {
        std::swap(fgPen, bgPen);
    }
    const bool jam2 = (drawMode & JAM2) && !complement;
    const int cellTop = baselineY - font->tf_Baseline;
    const int start = x;
    for (size_t i = 0; i < count; ++i) {
        const Glyph& g = face->glyphs[text[i]];
        if (jam2) {
            canvas.Fill(x, cellTop, x + g.advance - 1, cellTop + font->tf_YSize - 1, bgPen, false);
        }
        // Row r of the glyph covers the band r rows below its top: the last row above the
        // baseline line lands on the baseline row itself.
        const int y0 = baselineY - g.top + 1;
        for (int r = 0; r < g.rows; ++r) {
            for (int c = 0; c < g.width; ++c) {
                if (g.bits[static_cast<size_t>(r) * g.width + c]) {
                    canvas.Plot(x + g.left + c, y0 + r, fgPen, complement);
                }
            }
        }
        x += g.advance;
    }
    if ((font->tf_Style & FSF_UNDERLINED) && x > start) {
        const int underline = std::min(baselineY + 1, cellTop + font->tf_YSize - 1);
        for (int ux = start; ux < x; ++ux) {
            canvas.Plot(ux, underline, fgPen, complement);
        }
    }
    return x - start;
}

}  // namespace tessella::graphics
