#pragma once
// A chunky 8-bit surface and the pixel operations every drawing call is built from. Clipping
// to the surface happens here, so no caller can write outside a bitmap.

#include <algorithm>

#include "graphics.h"

namespace tessella::graphics {

struct Canvas {
    UBYTE* pixels = nullptr;
    int width = 0;
    int height = 0;
    int stride = 0;
    UBYTE depthMask = 0xFF;

    static Canvas Of(BitMap* bm) {
        Canvas c;
        if (bm == nullptr || bm->Planes[0] == nullptr) {
            return c;
        }
        c.pixels = bm->Planes[0];
        c.width = bm->BytesPerRow;
        c.height = bm->Rows;
        c.stride = bm->BytesPerRow;
        c.depthMask = bm->Depth >= 8 ? 0xFF : static_cast<UBYTE>((1u << bm->Depth) - 1);
        return c;
    }

    bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }

    UBYTE* At(int x, int y) const { return pixels + static_cast<long>(y) * stride + x; }

    // JAM1 and JAM2 set the pen; COMPLEMENT inverts what is there.
    void Plot(int x, int y, UBYTE pen, bool complement) const {
        if (!Contains(x, y)) {
            return;
        }
        UBYTE* p = At(x, y);
        *p = complement ? static_cast<UBYTE>(*p ^ depthMask) : static_cast<UBYTE>(pen & depthMask);
    }

    void Fill(int x0, int y0, int x1, int y1, UBYTE pen, bool complement) const {
        x0 = std::max(x0, 0);
        y0 = std::max(y0, 0);
        x1 = std::min(x1, width - 1);
        y1 = std::min(y1, height - 1);
        for (int y = y0; y <= y1; ++y) {
            UBYTE* row = At(0, y);
            for (int x = x0; x <= x1; ++x) {
                row[x] = complement ? static_cast<UBYTE>(row[x] ^ depthMask)
                                    : static_cast<UBYTE>(pen & depthMask);
            }
        }
    }
};

// Draws Latin-1 text with its baseline row at baselineY; returns the advance in pixels.
int DrawText(const Canvas& canvas, const TextFont* font, int x, int baselineY, const UBYTE* text,
             size_t count, UBYTE fgPen, UBYTE bgPen, UBYTE drawMode);
// The advance of the text in the font, in pixels.
int MeasureText(const TextFont* font, const UBYTE* text, size_t count);

}  // namespace tessella::graphics
