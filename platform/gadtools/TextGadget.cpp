// A read-only text (or number) in a box, in its own pens and justification, with an optional
// recessed frame. It reports presses only when its activation asks for them.
#include <cstdio>

#include "GadgetKinds.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {
namespace {

class TextGadget : public GTGadget {
public:
    TextGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
        : GTGadget(kind, ng, vi, tags), number_(kind == NUMBER_KIND) {
        Activation = 0;
        if (GetTagData(GA_Immediate, FALSE, tags)) {
            Activation |= GACT_IMMEDIATE;
        }
        border_ = GetTagData(number_ ? GTNM_Border : GTTX_Border, FALSE, tags) != 0;
        Apply(tags);
    }

    bool SetAttrs(const TagItem* tags) override {
        const bool common = GTGadget::SetAttrs(tags);
        return Apply(tags) || common;
    }

    // A text that reports nothing lets clicks through to its window.
    bool HitTest(int x, int y) const override {
        return (Activation & (GACT_IMMEDIATE | GACT_RELVERIFY)) && GTGadget::HitTest(x, y);
    }

    bool GetAttr(Tag tag, IPTR* value) const override {
        if (!number_ && tag == GTTX_Text) {
            *value = reinterpret_cast<IPTR>(text_.c_str());
            return true;
        }
        if (number_ && tag == GTNM_Number) {
            *value = static_cast<IPTR>(value_);
            return true;
        }
        return GTGadget::GetAttr(tag, value);
    }

protected:
    void DrawBody(RastPort* rp) override {
        look::Fill(rp, LeftEdge, TopEdge, Width, Height, backPen_);
        int inset = 0;
        if (border_) {
            look::Bevel(rp, LeftEdge, TopEdge, Width, Height, true);
            inset = 3;
        }
        const std::string shown = Shown();
        const int boxWidth = Width - 2 * inset;
        const int width = std::min(look::TextWidth(font_, shown), boxWidth);
        look::TextAt(rp, font_, shown, look::Justify(LeftEdge + inset, boxWidth, width, justify_),
                     TopEdge, boxWidth, Height, frontPen_);
    }

    GadgetReply OnPress(const GadgetInput&) override {
        GadgetReply r;
        if (Activation & GACT_IMMEDIATE) {
            r.cls = IDCMP_GADGETDOWN;
        }
        // Held to its release only when it reports one.
        r.keepActive = (Activation & GACT_RELVERIFY) != 0;
        return r;
    }

    GadgetReply OnMove(const GadgetInput&) override { return {true, 0, 0, false}; }

private:
    bool Apply(const TagItem* tags) {
        bool redraw = false;
        if (const TagItem* t = FindTagItem(number_ ? GTNM_Number : GTTX_Text, tags)) {
            if (number_) {
                value_ = static_cast<LONG>(t->ti_Data);
            } else {
                text_ = t->ti_Data ? reinterpret_cast<const char*>(t->ti_Data) : "";
            }
            redraw = true;
        }
        const Tag front = number_ ? GTNM_FrontPen : GTTX_FrontPen;
        const Tag back = number_ ? GTNM_BackPen : GTTX_BackPen;
        const Tag justification = number_ ? GTNM_Justification : GTTX_Justification;
        if (const TagItem* t = FindTagItem(front, tags)) {
            frontPen_ = static_cast<UBYTE>(t->ti_Data);
            redraw = true;
        }
        if (const TagItem* t = FindTagItem(back, tags)) {
            backPen_ = static_cast<UBYTE>(t->ti_Data);
            redraw = true;
        }
        if (const TagItem* t = FindTagItem(justification, tags)) {
            justify_ = static_cast<int>(t->ti_Data);
            redraw = true;
        }
        return redraw;
    }

    std::string Shown() const {
        if (!number_) {
            return text_;
        }
        char buffer[16];
        std::snprintf(buffer, sizeof(buffer), "%ld", static_cast<long>(value_));
        return buffer;
    }

    bool number_;
    bool border_ = false;
    std::string text_;  // always a copy: the caller's text may go before the gadget does
    LONG value_ = 0;
    UBYTE frontPen_ = look::kTextPen;
    UBYTE backPen_ = look::kBackgroundPen;
    int justify_ = GTJ_LEFT;
};

}  // namespace

GTGadget* NewTextGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    return new TextGadget(kind, ng, vi, tags);
}

}  // namespace tessella::gadtools
