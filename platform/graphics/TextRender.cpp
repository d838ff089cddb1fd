#include <cstring>

#include "Canvas.h"
#include "FontFace.h"
#include "TextRuns.h"

namespace tessella::graphics {
namespace {

void CopyBox(const Canvas& canvas, const TextRun& run, std::vector<UBYTE>& into) {
    into.resize(static_cast<size_t>(run.width) * run.height);
    for (int y = 0; y < run.height; ++y) {
        std::memcpy(&into[static_cast<size_t>(y) * run.width], canvas.At(run.left, run.top + y),
                    static_cast<size_t>(run.width));
    }
}

// The run of text about to be drawn, with the box's pixels as they are before it.
std::shared_ptr<TextRun> BeginRun(const Canvas& canvas, const TextFont* font, int x, int baselineY,
                                  const UBYTE* text, size_t count, UBYTE fgPen, bool complement) {
    if (canvas.pixels == nullptr || count == 0) {
        return nullptr;
    }
    const FontFace* face = FaceOf(font);
    auto run = std::make_shared<TextRun>();
    run->font = font;
    run->baselineY = baselineY;
    run->fgPen = fgPen;
    run->depthMask = canvas.depthMask;
    run->complement = complement;
    run->codes.assign(text, text + count);
    // The cells, and the ink wherever it reaches beyond them.
    const int cellTop = baselineY - font->tf_Baseline;
    int left = x;
    int top = cellTop;
    int right = x;
    int bottom = cellTop + font->tf_YSize;
    int pen = x;
    for (size_t i = 0; i < count; ++i) {
        const Glyph& g = face->glyphs[text[i]];
        run->penX.push_back(pen);
        if (g.width > 0 && g.rows > 0) {
            left = std::min(left, pen + g.left);
            right = std::max(right, pen + g.left + g.width);
            top = std::min(top, baselineY - g.top + 1);
            bottom = std::max(bottom, baselineY - g.top + 1 + g.rows);
        }
        pen += g.advance;
    }
    right = std::min(canvas.width, std::max(right, pen));
    bottom = std::min(canvas.height, bottom);
    left = std::max(0, left);
    top = std::max(0, top);
    if (right <= left || bottom <= top) {
        return nullptr;
    }
    run->left = left;
    run->top = top;
    run->width = right - left;
    run->height = bottom - top;
    CopyBox(canvas, *run, run->under);
    return run;
}

void EndRun(const Canvas& canvas, std::shared_ptr<TextRun> run, bool jam2, UBYTE bgPen,
            int underline) {
    CopyBox(canvas, *run, run->after);
    run->jam2 = jam2;
    run->bgPen = bgPen;
    run->underline = underline;
    RecordRun(canvas, std::move(run));
}

}  // namespace

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
    std::shared_ptr<TextRun> run =
        Recording(canvas) ? BeginRun(canvas, font, x, baselineY, text, count, fgPen, complement)
                          : nullptr;
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
    int underline = -1;
    if ((font->tf_Style & FSF_UNDERLINED) && x > start) {
        underline = std::min(baselineY + 1, cellTop + font->tf_YSize - 1);
        for (int ux = start; ux < x; ++ux) {
            canvas.Plot(ux, underline, fgPen, complement);
        }
    }
    if (run != nullptr) {
        EndRun(canvas, std::move(run), jam2, bgPen, underline);
    }
    return x - start;
}

}  // namespace tessella::graphics
