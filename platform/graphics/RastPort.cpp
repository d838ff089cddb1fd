#include <condition_variable>
#include <cstdlib>
#include <cstring>

#include "Canvas.h"
#include "FontFace.h"
#include "LayerImpl.h"

namespace tessella::graphics {

std::recursive_mutex& OffscreenLock() {
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

namespace {

struct DisplayClock {
    std::atomic<uint64_t> generation{0};
    std::atomic<int> waiters{0};
    std::mutex lock;
    std::condition_variable moved;
};

DisplayClock& TheDisplayClock() {
    static DisplayClock* clock = new DisplayClock;  // presenters may wait until the very end
    return *clock;
}

}  // namespace

uint64_t DisplayGeneration() {
    return TheDisplayClock().generation.load();
}

void TouchDisplay() {
    DisplayClock& c = TheDisplayClock();
    c.generation.fetch_add(1);
    // Drawing calls come by the thousand; only wake someone who is actually waiting.
    if (c.waiters.load() > 0) {
        std::lock_guard guard(c.lock);
        c.moved.notify_all();
    }
}

uint64_t WaitDisplayChange(uint64_t shown) {
    DisplayClock& c = TheDisplayClock();
    std::unique_lock guard(c.lock);
    c.waiters.fetch_add(1);
    c.moved.wait(guard, [&] { return c.generation.load() != shown; });
    c.waiters.fetch_sub(1);
    return c.generation.load();
}

RastPortLock::~RastPortLock() {
    if (onScreen_) {
        TouchDisplay();
    }
    lock_.unlock();
}

namespace {

bool Complement(const RastPort* rp) {
    return rp->DrawMode & COMPLEMENT;
}

// One dot of a line: the pattern decides between the pen, the background (JAM2) or nothing.
void LineDot(RastPort* rp, const Canvas& canvas, int x, int y) {
    const bool on = (rp->LinePtrn >> (rp->linpatcnt & 15)) & 1;
    rp->linpatcnt = static_cast<BYTE>((rp->linpatcnt - 1) & 15);
    if (on) {
        canvas.Plot(x, y, rp->FgPen, Complement(rp));
    } else if ((rp->DrawMode & JAM2) && !Complement(rp)) {
        canvas.Plot(x, y, rp->BgPen, false);
    }
}

void DrawLineLocked(RastPort* rp, LONG x1, LONG y1) {
    const Canvas canvas = Canvas::Of(rp->BitMap);
    long x = rp->cp_x;
    long y = rp->cp_y;
    const long dx = std::labs(x1 - x);
    const long dy = -std::labs(y1 - y);
    const int sx = x < x1 ? 1 : -1;
    const int sy = y < y1 ? 1 : -1;
    long err = dx + dy;
    bool first = true;
    for (;;) {
        // A line that continues another does not repeat its shared end dot.
        if (!first || (rp->Flags & FRST_DOT)) {
            LineDot(rp, canvas, static_cast<int>(x), static_cast<int>(y));
        }
        first = false;
        if (x == x1 && y == y1) {
            break;
        }
        const long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
    rp->Flags &= ~FRST_DOT;
    rp->cp_x = static_cast<WORD>(x1);
    rp->cp_y = static_cast<WORD>(y1);
}

UBYTE ClearPen(const RastPort* rp) {
    return (rp->DrawMode & JAM2) ? rp->BgPen : 0;
}

void ClearEOLLocked(RastPort* rp) {
    const Canvas canvas = Canvas::Of(rp->BitMap);
    const int top = rp->cp_y - rp->TxBaseline;
    canvas.Fill(rp->cp_x, top, canvas.width - 1, top + rp->TxHeight - 1, ClearPen(rp), false);
}

void ApplyFont(RastPort* rp, TextFont* font) {
    rp->Font = font;
    rp->TxHeight = font->tf_YSize;
    rp->TxWidth = font->tf_XSize;
    rp->TxBaseline = font->tf_Baseline;
    rp->TxSpacing = 0;
}

}  // namespace
}  // namespace tessella::graphics

using namespace tessella::graphics;

void InitRastPort(RastPort* rp) {
    std::memset(rp, 0, sizeof(RastPort));
    rp->Mask = 0xFF;
    rp->FgPen = 1;
    rp->BgPen = 0;
    rp->AOlPen = 1;
    rp->DrawMode = JAM2;
    rp->LinePtrn = 0xFFFF;
    rp->linpatcnt = 15;
    rp->Flags = FRST_DOT;
    rp->PenWidth = 1;
    rp->PenHeight = 1;
    if (TextFont* font = DefaultFont()) {
        ApplyFont(rp, font);
    }
}

void LockLayerRom(Layer* layer) {
    if (layer != nullptr) {
        layer->lock.lock();
    }
}

void UnlockLayerRom(Layer* layer) {
    if (layer != nullptr) {
        layer->lock.unlock();
    }
}

void SetAPen(RastPort* rp, ULONG pen) {
    RastPortLock guard(rp);
    rp->FgPen = static_cast<UBYTE>(pen);
}

ULONG GetAPen(RastPort* rp) {
    RastPortLock guard(rp);
    return rp->FgPen;
}

void SetBPen(RastPort* rp, ULONG pen) {
    RastPortLock guard(rp);
    rp->BgPen = static_cast<UBYTE>(pen);
}

ULONG GetBPen(RastPort* rp) {
    RastPortLock guard(rp);
    return rp->BgPen;
}

void SetDrMd(RastPort* rp, ULONG drawMode) {
    RastPortLock guard(rp);
    rp->DrawMode = static_cast<UBYTE>(drawMode);
}

ULONG GetDrMd(RastPort* rp) {
    RastPortLock guard(rp);
    return rp->DrawMode;
}

void SetDrPt(RastPort* rp, UWORD pattern) {
    RastPortLock guard(rp);
    rp->LinePtrn = pattern;
    rp->Flags |= FRST_DOT;
    rp->linpatcnt = 15;
}

void SetFont(RastPort* rp, TextFont* textFont) {
    if (textFont == nullptr) {
        return;
    }
    RastPortLock guard(rp);
    ApplyFont(rp, textFont);
}

void Move(RastPort* rp, WORD x, WORD y) {
    RastPortLock guard(rp);
    rp->cp_x = x;
    rp->cp_y = y;
    rp->Flags |= FRST_DOT;
    rp->linpatcnt = 15;
}

void Draw(RastPort* rp, LONG x, LONG y) {
    RastPortLock guard(rp);
    DrawLineLocked(rp, x, y);
}

void PolyDraw(RastPort* rp, LONG count, const WORD* polyTable) {
    if (polyTable == nullptr) {
        return;
    }
    RastPortLock guard(rp);
    for (LONG i = 0; i < count; ++i) {
        DrawLineLocked(rp, polyTable[2 * i], polyTable[2 * i + 1]);
    }
}

void RectFill(RastPort* rp, LONG xMin, LONG yMin, LONG xMax, LONG yMax) {
    if (xMax < xMin || yMax < yMin) {
        return;
    }
    RastPortLock guard(rp);
    Canvas::Of(rp->BitMap).Fill(xMin, yMin, xMax, yMax, rp->FgPen, Complement(rp));
}

LONG ReadPixel(RastPort* rp, LONG x, LONG y) {
    RastPortLock guard(rp);
    const Canvas canvas = Canvas::Of(rp->BitMap);
    if (!canvas.Contains(x, y)) {
        return -1;
    }
    return *canvas.At(x, y);
}

LONG WritePixel(RastPort* rp, LONG x, LONG y) {
    RastPortLock guard(rp);
    const Canvas canvas = Canvas::Of(rp->BitMap);
    if (!canvas.Contains(x, y)) {
        return -1;
    }
    canvas.Plot(x, y, rp->FgPen, Complement(rp));
    return 0;
}

void Text(RastPort* rp, CONST_STRPTR string, ULONG count) {
    if (string == nullptr || count == 0) {
        return;
    }
    RastPortLock guard(rp);
    if (rp->Font == nullptr) {
        return;
    }
    const int advance =
        DrawText(Canvas::Of(rp->BitMap), rp->Font, rp->cp_x, rp->cp_y,
                 reinterpret_cast<const UBYTE*>(string), count, rp->FgPen, rp->BgPen, rp->DrawMode);
    rp->cp_x = static_cast<WORD>(rp->cp_x + advance);
}

WORD TextLength(RastPort* rp, CONST_STRPTR string, ULONG count) {
    if (string == nullptr) {
        return 0;
    }
    RastPortLock guard(rp);
    if (rp->Font == nullptr) {
        return 0;
    }
    return static_cast<WORD>(MeasureText(rp->Font, reinterpret_cast<const UBYTE*>(string), count));
}

void ClearEOL(RastPort* rp) {
    RastPortLock guard(rp);
    ClearEOLLocked(rp);
}

void ClearScreen(RastPort* rp) {
    RastPortLock guard(rp);
    ClearEOLLocked(rp);
    const Canvas canvas = Canvas::Of(rp->BitMap);
    const int below = rp->cp_y - rp->TxBaseline + rp->TxHeight;
    canvas.Fill(0, below, canvas.width - 1, canvas.height - 1, ClearPen(rp), false);
}
