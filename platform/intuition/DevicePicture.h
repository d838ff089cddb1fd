#pragma once
// The composed screen drawn at the size it is shown on the desktop, which need not be a whole
// multiple of the screen's: every screen pixel becomes a block of whole device pixels (blocks
// of a fractional factor differ by one, so lines and frames keep hard edges and stay one
// screen pixel wide), and the text the frame still shows as drawn is drawn again by the font
// engine at the device size. At the screen's own size the picture is its pens, exactly.

#include "Presenter.h"

namespace tessella::intuition {

// The first device column (or row) that shows screen column (or row) i, of `screen` shown
// across `device` pixels; device pixel d shows screen pixel d * screen / device.
// Rounded up also above and left of the picture, where text may begin that is cut by its edge.
inline int DeviceEdge(int i, int screen, int device) {
    const long long n = static_cast<long long>(i) * device + screen - 1;
    return static_cast<int>(n >= 0 ? n / screen : -((-n + screen - 1) / screen));
}

// Paints device pixels [x0, x1) x [y0, y1) of the frame shown at deviceWidth x deviceHeight
// into out (ARGB, opaque; out points at (x0, y0), rows `stride` pixels apart). Rows above the
// slid screen are black; `flip` is XORed into every colour (the beep's flash).
void PaintDevice(const Frame& frame, int deviceWidth, int deviceHeight, ULONG flip, int x0, int y0,
                 int x1, int y1, ULONG* out, int stride);

// The device size of the frame shown at `factor`, the screen's shape kept.
void DeviceSizeFor(const Frame& frame, double factor, int& width, int& height);

}  // namespace tessella::intuition
