#include "GTGadget.h"

#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {

VisualInfo* VisualInfoOf(APTR visualInfo) {
    auto* vi = static_cast<VisualInfo*>(visualInfo);
    return vi != nullptr && vi->magic == VisualInfo::kMagic ? vi : nullptr;
}

void StripUnderscore(std::string& text, int& underscore, char marker) {
    underscore = -1;
    if (marker == 0) {
        return;
    }
    const size_t at = text.find(marker);
    if (at == std::string::npos || at + 1 >= text.size()) {
        return;
    }
    text.erase(at, 1);
    underscore = static_cast<int>(at);
}

GTGadget::GTGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
    : kind_(kind) {
    LeftEdge = ng.ng_LeftEdge;
    TopEdge = ng.ng_TopEdge;
    Width = ng.ng_Width;
    Height = ng.ng_Height;
    GadgetID = ng.ng_GadgetID;
    UserData = ng.ng_UserData;
    Flags = GFLG_GADGHNONE;
    if (ng.ng_TextAttr != nullptr) {
        font_ = OpenFont(ng.ng_TextAttr);
        ownsFont_ = font_ != nullptr;
    }
    if (font_ == nullptr) {
        font_ = vi->font;
    }
    if (ng.ng_GadgetText != nullptr) {
        label_ = ng.ng_GadgetText;
        StripUnderscore(label_, underscore_, static_cast<char>(GetTagData(GT_Underscore, 0, tags)));
    }
    place_ = ng.ng_Flags &
             (PLACETEXT_LEFT | PLACETEXT_RIGHT | PLACETEXT_ABOVE | PLACETEXT_BELOW | PLACETEXT_IN);
    highLabel_ = (ng.ng_Flags & NG_HIGHLABEL) != 0;
    if (GetTagData(GA_Disabled, FALSE, tags)) {
        Flags |= GFLG_DISABLED;
    }
}

GTGadget::~GTGadget() {
    if (ownsFont_) {
        CloseFont(font_);
    }
}

void GTGadget::Render(RastPort* rp) {
    if (Width <= 0 || Height <= 0) {
        return;
    }
    DrawBody(rp);
    if (!DrawsOwnLabel()) {
        DrawLabel(rp, label_, underscore_, place_, LeftEdge, TopEdge, Width, Height);
    }
    if (Disabled()) {
        look::Ghost(rp, LeftEdge, TopEdge, Width, Height);
    }
}

void GTGadget::DrawLabel(RastPort* rp, const std::string& text, int underscore, ULONG place, int x,
                         int y, int w, int h) const {
    if (text.empty() || font_ == nullptr) {
        return;
    }
    const int width = look::TextWidth(font_, text);
    const int lineHeight = font_->tf_YSize;
    const UBYTE pen = highLabel_ ? look::kHighlightTextPen : look::kTextPen;
    int tx = x - width - 4;  // left of the box, the usual place
    int ty = y;
    int th = h;
    if (place & PLACETEXT_RIGHT) {
        tx = x + w + 4;
    } else if (place & (PLACETEXT_ABOVE | PLACETEXT_BELOW)) {
        tx = x + (w - width) / 2;
        ty = (place & PLACETEXT_ABOVE) ? y - lineHeight - 2 : y + h + 2;
        th = lineHeight;
    } else if (place & PLACETEXT_IN) {
        tx = x + (w - width) / 2;
    }
    look::TextAt(rp, font_, text, tx, ty, width, th, pen, underscore);
}

bool GTGadget::SetAttrs(const TagItem* tags) {
    bool redraw = false;
    if (const TagItem* t = FindTagItem(GA_Disabled, tags)) {
        const UWORD flags = t->ti_Data ? (Flags | GFLG_DISABLED) : (Flags & ~GFLG_DISABLED);
        redraw = flags != Flags;
        Flags = flags;
    }
    return redraw;
}

bool GTGadget::GetAttr(Tag tag, IPTR* value) const {
    if (tag == GA_Disabled) {
        *value = Disabled() ? TRUE : FALSE;
        return true;
    }
    return false;
}

GadgetReply GTGadget::GoActive(const GadgetInput& input) {
    return OnPress(input);
}

GadgetReply GTGadget::HandleInput(const GadgetInput& input) {
    switch (input.kind) {
        case GadgetInput::Kind::Move:
            return OnMove(input);
        case GadgetInput::Kind::Release:
            return OnRelease(input);
        case GadgetInput::Kind::Key:
            return OnKey(input);
        default:
            return OnPress(input);
    }
}

GadgetReply GTGadget::OnPress(const GadgetInput& /*input*/) {
    Flags |= GFLG_SELECTED;
    GadgetReply r;
    r.keepActive = true;
    r.redraw = true;
    if (Activation & GACT_IMMEDIATE) {
        r.cls = IDCMP_GADGETDOWN;
    }
    return r;
}

GadgetReply GTGadget::OnMove(const GadgetInput& input) {
    const bool over = Over(input);
    const bool selected = Flags & GFLG_SELECTED;
    GadgetReply r;
    r.keepActive = true;
    if (over != selected) {
        Flags = over ? (Flags | GFLG_SELECTED) : (Flags & ~GFLG_SELECTED);
        r.redraw = true;
    }
    return r;
}

GadgetReply GTGadget::OnRelease(const GadgetInput& input) {
    const bool wasSelected = Flags & GFLG_SELECTED;
    Flags &= ~GFLG_SELECTED;
    GadgetReply r;
    if (Over(input)) {
        r = Released(input);
    }
    r.keepActive = false;
    r.redraw = r.redraw || wasSelected;
    return r;
}

GadgetReply GTGadget::OnKey(const GadgetInput& /*input*/) {
    return {};
}

GadgetReply GTGadget::Released(const GadgetInput& /*input*/) {
    GadgetReply r;
    if (Activation & GACT_RELVERIFY) {
        r.cls = IDCMP_GADGETUP;
    }
    return r;
}

}  // namespace tessella::gadtools
