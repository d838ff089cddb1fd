#include "ScrollBar.h"

#include <algorithm>

namespace tessella {

namespace {

constexpr int kFiner = 10;
constexpr int kArrowSize = 13;

}  // namespace

ScrollBar::ScrollBar(GUIElement* parent, int min, int max)
    : GadgetControl(parent), minimum(min), maximum(max) {
    className = "scrollbar";
    size = {80, 13};
}

void ScrollBar::SetRange(int min, int max) {
    minimum = min;
    maximum = max;
    SetGadgetAttrs(GTSC_Total, maximum / kFiner);
}

void ScrollBar::SetPos(int p) {
    position = p;
    SetGadgetAttrs(GTSC_Top, position / kFiner);
}

int ScrollBar::GetPos() {
    IPTR top = 0;
    if (GetGadgetAttr(GTSC_Top, top)) {
        position = static_cast<int32_t>(top) * kFiner;
    }
    return position;
}

void ScrollBar::SetHScroll(short h) {
    SetHorizontal(h != 0 ? 1 : 0);
}

void ScrollBar::SetVScroll(short v) {
    SetHorizontal(v != 0 ? 0 : 1);
}

void ScrollBar::SetHorizontal(int16_t h) {
    if (h == horizontal) {
        return;
    }
    horizontal = h;
    Rebuild();
}

void ScrollBar::OnScroll(int code) {
    position = code * kFiner;
    if (onScroll != nullptr) {
        onScroll(this, position);
    }
}

Gadget* ScrollBar::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    const int length = horizontal != 0 ? size.cx : size.cy;
    const int total = maximum / kFiner;
    return MakeGadget(SCROLLER_KIND, last, ng, GTSC_Top, position / kFiner, GTSC_Total, total,
                      GTSC_Visible, std::min(length / kFiner, total), GTSC_Arrows, kArrowSize,
                      GA_RelVerify, TRUE, PGA_Freedom,
                      horizontal != 0 ? LORIENT_HORIZ : LORIENT_VERT);
}

// A range or position set while the bar was hidden reaches the gadget it gets back.
void ScrollBar::OnReattach() {
    WriteAttrs(GTSC_Total, maximum / kFiner, GTSC_Top, position / kFiner);
}

}  // namespace tessella
