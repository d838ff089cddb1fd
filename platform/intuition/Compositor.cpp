// Builds the picture of the front screen: its own bitmap, backdrop windows, the screen's
// title bar, the other windows back to front each with its frame, then the overlay stage.
#include <cstring>

#include "FrameLook.h"
#include "IntuitionState.h"
#include "MenuStrip.h"
#include "platform/graphics/Canvas.h"
#include "platform/graphics/ColorMapImpl.h"
#include "platform/graphics/TextRuns.h"

namespace tessella::intuition {
namespace {

using graphics::Canvas;

struct WindowView {
    std::shared_ptr<WindowImpl> window;
    int left, top, width, height;
    ULONG flags;
    int borderLeft, borderTop, borderRight, borderBottom;
    std::string title;
    bool active;
};

// A part of a canvas, with its own origin, for drawing that must stay inside a box.
Canvas Region(const Canvas& c, int x0, int y0, int x1, int y1) {
    x0 = std::max(x0, 0);
    y0 = std::max(y0, 0);
    x1 = std::min(x1, c.width);
    y1 = std::min(y1, c.height);
    Canvas r = c;
    if (x1 <= x0 || y1 <= y0) {
        r.width = r.height = 0;
        return r;
    }
    r.pixels = c.At(x0, y0);
    r.width = x1 - x0;
    r.height = y1 - y0;
    return r;
}

void Box(const Canvas& c, int x0, int y0, int x1, int y1, UBYTE pen) {
    c.Fill(x0, y0, x1, y0, pen, false);
    c.Fill(x0, y1, x1, y1, pen, false);
    c.Fill(x0, y0, x0, y1, pen, false);
    c.Fill(x1, y0, x1, y1, pen, false);
}

void DrawScreenBar(const Canvas& out, const ScreenImpl& s, const std::string& title) {
    if (!s.showTitle || s.font == nullptr) {
        return;
    }
    const int bar = s.BarHeight;
    out.Fill(0, 0, out.width - 1, bar - 2, s.BlockPen, false);
    out.Fill(0, bar - 1, out.width - 1, bar - 1, s.DetailPen, false);
    const Canvas text = Region(out, 0, 0, out.width, bar - 1);
    graphics::DrawText(text, s.font, 4, 1 + s.font->tf_Baseline,
                       reinterpret_cast<const UBYTE*>(title.data()), title.size(), s.DetailPen,
                       s.BlockPen, JAM1);
}

// The border's fill, a raised outer edge and a recessed inner one.
void DrawBorders(const Canvas& c, const WindowView& v, UBYTE fill) {
    const int w = v.width;
    const int h = v.height;
    c.Fill(0, 0, w - 1, v.borderTop - 1, fill, false);
    c.Fill(0, 0, v.borderLeft - 1, h - 1, fill, false);
    c.Fill(w - v.borderRight, 0, w - 1, h - 1, fill, false);
    c.Fill(0, h - v.borderBottom, w - 1, h - 1, fill, false);
    c.Fill(0, 0, w - 1, 0, look::kShinePen, false);
    c.Fill(0, 0, 0, h - 1, look::kShinePen, false);
    c.Fill(0, h - 1, w - 1, h - 1, look::kShadowPen, false);
    c.Fill(w - 1, 0, w - 1, h - 1, look::kShadowPen, false);
    const int il = v.borderLeft - 1;
    const int it = v.borderTop - 1;
    const int ir = w - v.borderRight;
    const int ib = h - v.borderBottom;
    if (il > 0 && it > 0 && ir < w - 1 && ib < h - 1) {
        c.Fill(il, it, ir, it, look::kShadowPen, false);
        c.Fill(il, it, il, ib, look::kShadowPen, false);
        c.Fill(il, ib, ir, ib, look::kShinePen, false);
        c.Fill(ir, it, ir, ib, look::kShinePen, false);
    }
}

// The close and depth gadgets at the ends of the title bar, and the title between them.
void DrawTitleBar(const Canvas& c, const WindowView& v, const TextFont* font, UBYTE fill,
                  UBYTE textPen) {
    const int w = v.width;
    const int bar = v.borderTop - 1;
    int textLeft = 4;
    int textRight = w - 2;
    if (v.flags & WFLG_CLOSEGADGET) {
        const int g = look::kGadgetWidth;
        c.Fill(g - 1, 1, g - 1, bar - 1, look::kShadowPen, false);
        const int cy = bar / 2;
        c.Fill(6, cy - 2, 11, cy + 3, look::kShinePen, false);
        Box(c, 6, cy - 2, 11, cy + 3, look::kShadowPen);
        textLeft = g + 4;
    }
    if (v.flags & WFLG_DEPTHGADGET) {
        const int x = w - look::kGadgetWidth;
        c.Fill(x, 1, x, bar - 1, look::kShadowPen, false);
        Box(c, x + 3, 3, x + 10, bar - 5, look::kShadowPen);
        c.Fill(x + 6, 6, x + 14, bar - 2, look::kShinePen, false);
        Box(c, x + 6, 6, x + 14, bar - 2, look::kShadowPen);
        textRight = x - 2;
    }
    if (font != nullptr && !v.title.empty()) {
        const Canvas text = Region(c, textLeft, 0, textRight, bar);
        graphics::DrawText(text, font, 0, 2 + font->tf_Baseline,
                           reinterpret_cast<const UBYTE*>(v.title.data()), v.title.size(), textPen,
                           fill, JAM1);
    }
}

void DrawSizeGadget(const Canvas& c, const WindowView& v) {
    const int w = v.width;
    const int h = v.height;
    const int x = w - look::kSizeGadgetWidth;
    const int y = h - look::kSizeGadgetHeight;
    c.Fill(x, y, x, h - 2, look::kShadowPen, false);
    c.Fill(x, y, w - 2, y, look::kShadowPen, false);
    Box(c, x + 4, y + 2, w - 5, h - 3, look::kShadowPen);
    c.Fill(x + 5, y + 3, w - 6, h - 4, look::kShinePen, false);
}

void DrawFrame(const Canvas& out, const WindowView& v, const TextFont* font) {
    if ((v.flags & WFLG_BORDERLESS) || v.width <= 0 || v.height <= 0) {
        return;
    }
    const Canvas c = Region(out, v.left, v.top, v.left + v.width, v.top + v.height);
    const UBYTE fill = v.active ? look::kActiveFillPen : look::kInactiveFillPen;
    const UBYTE textPen = v.active ? look::kActiveTextPen : look::kInactiveTextPen;
    DrawBorders(c, v, fill);
    if (look::HasTitleBar(v.flags, !v.title.empty())) {
        DrawTitleBar(c, v, font, fill, textPen);
    }
    if (v.flags & WFLG_SIZEGADGET) {
        DrawSizeGadget(c, v);
    }
}

void DrawWindow(const Canvas& out, const WindowView& v, std::vector<graphics::PlacedRun>* runs) {
    WindowImpl& w = *v.window;
    LockLayerRom(&w.layer);
    const Canvas src = Canvas::Of(w.rastPort.BitMap);
    const Canvas dst = Region(out, v.left, v.top, v.left + v.width, v.top + v.height);
    const int rows = std::min(src.height, dst.height);
    const int cols = std::min(src.width, dst.width);
    if (runs != nullptr && rows > 0 && cols > 0) {
        graphics::PlaceRuns(graphics::RunsOf(src.pixels), v.left, v.top, std::max(0, v.left),
                            std::max(0, v.top), std::max(0, v.left) + cols,
                            std::max(0, v.top) + rows, *runs);
    }
    for (int y = 0; y < rows && cols > 0; ++y) {
        std::memcpy(dst.At(0, y), src.At(0, y), static_cast<size_t>(cols));
    }
    UnlockLayerRom(&w.layer);
}

// The front screen and what is needed of its windows, taken under the lock; null with no
// screen open.
std::shared_ptr<ScreenImpl> TakeFrontScreen(Intuition& in, Frame& frame,
                                            std::vector<WindowView>& views, std::string& barTitle) {
    std::lock_guard guard(in.lock);
    if (in.screens.empty()) {
        return nullptr;
    }
    std::shared_ptr<ScreenImpl> screen = in.screens.back();
    for (const auto& w : screen->windows) {
        views.push_back(WindowView{w, w->LeftEdge, w->TopEdge, w->Width, w->Height, w->Flags,
                                   w->BorderLeft, w->BorderTop, w->BorderRight, w->BorderBottom,
                                   w->title, in.active == w.get()});
    }
    const WindowImpl* a = in.active;
    barTitle = a != nullptr && a->screen == screen.get() && a->hasScreenTitle ? a->screenTitle
                                                                              : screen->title;
    frame.topEdge = screen->TopEdge;
    frame.title = ProgramTitle(screen.get());
    return screen;
}

// The frame's pens start as the screen's own bitmap.
Canvas CopyScreenPens(Frame& frame, ScreenImpl& screen) {
    frame.width = screen.Width;
    frame.height = screen.Height;
    frame.palette = graphics::PaletteOf(screen.ViewPort.ColorMap);
    frame.pens.assign(static_cast<size_t>(frame.width) * frame.height, 0);
    Canvas out;
    out.pixels = frame.pens.data();
    out.width = frame.width;
    out.height = frame.height;
    out.stride = frame.width;

    LockLayerRom(&screen.layer);
    const Canvas own = Canvas::Of(screen.RastPort.BitMap);
    for (int y = 0; y < std::min(own.height, out.height); ++y) {
        std::memcpy(out.At(0, y), own.At(0, y),
                    static_cast<size_t>(std::min(own.width, out.width)));
    }
    UnlockLayerRom(&screen.layer);
    return out;
}

}  // namespace

bool ComposeFrontScreen(Frame& frame) {
    Intuition& in = Intuition::Get();
    std::vector<WindowView> views;
    std::string barTitle;
    const std::shared_ptr<ScreenImpl> screen = TakeFrontScreen(in, frame, views, barTitle);
    if (screen == nullptr) {
        return false;
    }
    frame.runs.clear();
    Canvas out = CopyScreenPens(frame, *screen);
    std::vector<graphics::PlacedRun>* runs = frame.withRuns ? &frame.runs : nullptr;
    if (runs != nullptr) {
        graphics::PlaceRuns(graphics::RunsOf(Canvas::Of(screen->RastPort.BitMap).pixels), 0, 0, 0,
                            0, out.width, out.height, *runs);
    }
    graphics::ComposeRecorder drawnHere(frame.pens.data(), frame.pens.size(), out.stride,
                                        runs != nullptr);

    bool barDrawn = false;
    for (const WindowView& v : views) {
        if (!barDrawn && (v.flags & WFLG_BACKDROP) == 0) {
            DrawScreenBar(out, *screen, barTitle);
            barDrawn = true;
        }
        DrawWindow(out, v, runs);
        DrawFrame(out, v, screen->font);
    }
    if (!barDrawn) {
        DrawScreenBar(out, *screen, barTitle);
    }
    // The menu strip while the menu button is held goes over every window.
    {
        std::lock_guard guard(in.lock);
        const WindowImpl* menuWindow = in.menus.window;
        if (menuWindow != nullptr && menuWindow->screen == screen.get()) {
            menus::Draw(out, *screen, in.menus);
        }
    }
    if (runs != nullptr) {
        graphics::PlaceRuns(drawnHere.Take(), 0, 0, 0, 0, out.width, out.height, *runs);
        graphics::KeepIntact(*runs, frame.pens.data(), out.stride);
    }
    return true;
}

}  // namespace tessella::intuition
