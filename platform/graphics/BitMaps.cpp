#include <cstdlib>
#include <cstring>
#include <vector>

#include "Canvas.h"
#include "LayerImpl.h"
#include "TextRuns.h"

using namespace tessella::graphics;

namespace {

// The minterm acts on each bit: B is the source, C the destination, and A is always on.
UBYTE Combine(UBYTE b, UBYTE c, ULONG minterm) {
    UBYTE result = 0;
    if (minterm & 0x80)
        result |= b & c;
    if (minterm & 0x40)
        result |= b & ~c;
    if (minterm & 0x20)
        result |= ~b & c;
    if (minterm & 0x10)
        result |= ~b & ~c;
    return result;
}

// Clips a copy to both surfaces; false when nothing is left.
bool Clip(const Canvas& src, LONG& xs, LONG& ys, const Canvas& dst, LONG& xd, LONG& yd, LONG& w,
          LONG& h) {
    auto clipAxis = [](LONG& s, LONG& d, LONG& size, int srcLimit, int dstLimit) {
        if (s < 0) {
            d -= s;
            size += s;
            s = 0;
        }
        if (d < 0) {
            s -= d;
            size += d;
            d = 0;
        }
        size = std::min<LONG>(size, std::min<LONG>(srcLimit - s, dstLimit - d));
    };
    clipAxis(xs, xd, w, src.width, dst.width);
    clipAxis(ys, yd, h, src.height, dst.height);
    return w > 0 && h > 0;
}

void Copy(const Canvas& src, LONG xs, LONG ys, const Canvas& dst, LONG xd, LONG yd, LONG w, LONG h,
          ULONG minterm, UBYTE mask) {
    // Rows are buffered so that a copy within one bitmap works whatever the overlap.
    std::vector<UBYTE> row(static_cast<size_t>(w));
    const bool upwards = &src.pixels[0] == &dst.pixels[0] && yd > ys;
    for (LONG i = 0; i < h; ++i) {
        const LONG r = upwards ? h - 1 - i : i;
        std::memcpy(row.data(), src.At(xs, ys + r), static_cast<size_t>(w));
        UBYTE* out = dst.At(xd, yd + r);
        for (LONG x = 0; x < w; ++x) {
            const UBYTE value = Combine(row[x], out[x], minterm);
            out[x] = static_cast<UBYTE>(((value & mask) | (out[x] & ~mask)) & dst.depthMask);
        }
    }
}

}  // namespace

BitMap* AllocBitMap(ULONG sizeX, ULONG sizeY, ULONG depth, ULONG flags, BitMap* /*friend*/) {
    if (sizeX == 0 || sizeY == 0 || sizeX > 0xFFFF || sizeY > 0xFFFF || depth == 0 || depth > 8) {
        return nullptr;
    }
    auto* bm = static_cast<BitMap*>(std::calloc(1, sizeof(BitMap)));
    bm->BytesPerRow = static_cast<UWORD>(sizeX);
    bm->Rows = static_cast<UWORD>(sizeY);
    bm->Depth = static_cast<UBYTE>(depth);
    const size_t bytes = static_cast<size_t>(sizeX) * sizeY;
    bm->Planes[0] =
        static_cast<UBYTE*>((flags & BMF_CLEAR) ? std::calloc(1, bytes) : std::malloc(bytes));
    if (bm->Planes[0] == nullptr) {
        std::free(bm);
        return nullptr;
    }
    return bm;
}

void FreeBitMap(BitMap* bm) {
    if (bm == nullptr) {
        return;
    }
    ForgetSurface(bm->Planes[0], static_cast<size_t>(bm->BytesPerRow) * bm->Rows);
    std::free(bm->Planes[0]);
    std::free(bm);
}

IPTR GetBitMapAttr(BitMap* bm, ULONG attribute) {
    if (bm == nullptr) {
        return 0;
    }
    switch (attribute) {
        case BMA_WIDTH:
            return bm->BytesPerRow;
        case BMA_HEIGHT:
            return bm->Rows;
        case BMA_DEPTH:
            return bm->Depth;
        case BMA_FLAGS:
            return bm->Flags;
        default:
            return 0;
    }
}

LONG BltBitMap(BitMap* srcBitMap, LONG xSrc, LONG ySrc, BitMap* destBitMap, LONG xDest, LONG yDest,
               LONG xSize, LONG ySize, ULONG minterm, ULONG mask, PLANEPTR) {
    const Canvas src = Canvas::Of(srcBitMap);
    const Canvas dst = Canvas::Of(destBitMap);
    if (src.pixels == nullptr || dst.pixels == nullptr ||
        !Clip(src, xSrc, ySrc, dst, xDest, yDest, xSize, ySize)) {
        return 0;
    }
    std::lock_guard guard(OffscreenLock());
    Copy(src, xSrc, ySrc, dst, xDest, yDest, xSize, ySize, minterm, static_cast<UBYTE>(mask));
    return destBitMap->Depth;
}

void BltBitMapRastPort(BitMap* srcBitMap, LONG xSrc, LONG ySrc, RastPort* destRP, LONG xDest,
                       LONG yDest, LONG xSize, LONG ySize, ULONG minterm) {
    RastPortLock guard(destRP);
    const Canvas src = Canvas::Of(srcBitMap);
    const Canvas dst = Canvas::Of(destRP->BitMap);
    if (src.pixels == nullptr || dst.pixels == nullptr ||
        !Clip(src, xSrc, ySrc, dst, xDest, yDest, xSize, ySize)) {
        return;
    }
    Copy(src, xSrc, ySrc, dst, xDest, yDest, xSize, ySize, minterm, destRP->Mask);
}
