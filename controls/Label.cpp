#include "Label.h"

#include <intuition.h>

namespace tessella {

namespace {

constexpr unsigned long kNoColour = ~0UL;

}  // namespace

Label::Label(GUIElement* p, std::string caption) : GadgetControl(p) {
    className = "label";
    isTabStop = 1;
    isRenderControl = 0;
    size = {80, 30};
    text = std::move(caption);
}

void Label::Init(GUIElement* newParent, std::string caption) {
    parent = newParent;
    SetText(std::move(caption));
}

int Label::BackPen() const {
    unsigned long colour = backgroundColor;
    if (colour == kNoColour && parent != nullptr) {
        colour = parent->GetBackgroundColor();
    }
    return colour == kNoColour ? 0 : static_cast<int>(colour);
}

int Label::Justification() const {
    if (centreAlign != 0) {
        return GTJ_CENTER;
    }
    return rightAlign != 0 ? GTJ_RIGHT : GTJ_LEFT;
}

Gadget* Label::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    ng.ng_Flags = rightAlign != 0    ? PLACETEXT_RIGHT
                  : centreAlign != 0 ? PLACETEXT_IN
                                     : PLACETEXT_LEFT;
    // A press is reported at once, so a click on a label reaches its window's handlers.
    return MakeGadget(
        TEXT_KIND, last, ng, GTTX_Text, text.c_str(), GTTX_CopyText, TRUE, GTTX_FrontPen,
        static_cast<ULONG>(textPen), GTTX_BackPen, static_cast<ULONG>(BackPen()),
        GTTX_Justification, static_cast<ULONG>(Justification()), GTTX_Border,
        static_cast<ULONG>(border != 0 ? TRUE : FALSE), GA_Immediate, TRUE, GA_RelVerify, FALSE);
}

void Label::Retune() {
    WriteAttrs(GTTX_Text, text.c_str(), GTTX_FrontPen, static_cast<ULONG>(textPen), GTTX_BackPen,
               static_cast<ULONG>(BackPen()), GTTX_Justification,
               static_cast<ULONG>(Justification()));
}

void Label::SetText(std::string s) {
    text = std::move(s);
    Retune();
}

void Label::SetColor(int pen) {
    textPen = static_cast<uint8_t>(pen);
    Retune();
}

void Label::SetBackgroundColor(unsigned long color) {
    backgroundColor = color;
    Retune();
}

void Label::SetLeftAlign(short /*on*/) {
    rightAlign = 0;
    centreAlign = 0;
    Retune();
}

void Label::SetRightAlign(short on) {
    rightAlign = on;
    if (on != 0) {
        centreAlign = 0;
    }
    Retune();
}

void Label::SetCenterAlign(short on) {
    centreAlign = on;
    if (on != 0) {
        rightAlign = 0;
    }
    Retune();
}

void Label::SetWindosStyle() {
    Retune();
}

void Label::SetBorder(short flag) {
    border = flag;
    Rebuild();
}

}  // namespace tessella
