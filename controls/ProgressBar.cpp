#include "ProgressBar.h"

#include <algorithm>
#include <cmath>

#include "Drawing.h"

namespace tessella {

namespace {

constexpr int kBarPen = 4;

}  // namespace

ProgressBar::ProgressBar(GUIElement* p, int min, int max)
    : CustomControl(p), minimum(min), maximum(max), value(min) {
    className = "progressbar";
    isTabStop = 1;
    size = {190, 25};
}

void ProgressBar::SetValue(int v) {
    if (v == value) {
        return;
    }
    value = std::clamp(v, std::min(minimum, maximum), std::max(minimum, maximum));
    if (loaded) {
        OnPaint();
    }
}

void ProgressBar::SetBorder(short flag) {
    border = flag;
    if (loaded) {
        OnPaint();
    }
}

void ProgressBar::OnPaint() {
    RastPort* rp = PaintPort();
    if (rp == nullptr) {
        return;
    }
    const tagPOINT at = WindowOrigin();
    Drawing d(rp);
    d.DrawFillRectangle(at.x, at.y, size.cx, size.cy, 0, 0, FirstColour({backgroundColor}));
    if (border != 0) {
        DrawFrame(d, at.x, at.y, size.cx, size.cy, true);
    }
    // The fraction of the way from minimum to maximum; an empty range has no fraction.
    if (maximum == minimum) {
        return;
    }
    const double f =
        static_cast<double>(value - minimum) / (static_cast<double>(maximum) - minimum);
    if (f > 0) {
        const int width = static_cast<int>(std::floor(f * (size.cx - 2)));
        d.DrawFillRectangle(at.x + 1, at.y + 1, width, size.cy - 2, 0, 0, kBarPen);
    }
}

}  // namespace tessella
