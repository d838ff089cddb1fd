// A check box: a raised box that shows a tick while it is checked; a click toggles it.
#include "GadgetKinds.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {
namespace {

class CheckBoxGadget : public GTGadget {
public:
    CheckBoxGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
        : GTGadget(CHECKBOX_KIND, ng, vi, tags) {
        Activation = GACT_RELVERIFY;
        if (GetTagData(GA_Immediate, FALSE, tags)) {
            Activation |= GACT_IMMEDIATE;
        }
        // Unless scaled, the box keeps its standard size whatever the NewGadget says.
        if (!GetTagData(GTCB_Scaled, FALSE, tags)) {
            Width = CHECKBOXWIDTH;
            Height = CHECKBOXHEIGHT;
        }
        checked_ = GetTagData(GTCB_Checked, FALSE, tags) != 0;
        if (place_ == 0) {
            place_ = PLACETEXT_LEFT;
        }
    }

    bool SetAttrs(const TagItem* tags) override {
        bool redraw = GTGadget::SetAttrs(tags);
        if (const TagItem* t = FindTagItem(GTCB_Checked, tags)) {
            redraw = redraw || checked_ != (t->ti_Data != 0);
            checked_ = t->ti_Data != 0;
        }
        return redraw;
    }

    bool GetAttr(Tag tag, IPTR* value) const override {
        if (tag == GTCB_Checked) {
            *value = checked_ ? TRUE : FALSE;
            return true;
        }
        return GTGadget::GetAttr(tag, value);
    }

protected:
    void DrawBody(RastPort* rp) override {
        const bool pressed = Flags & GFLG_SELECTED;
        look::Fill(rp, LeftEdge, TopEdge, Width, Height, look::kBackgroundPen);
        look::Bevel(rp, LeftEdge, TopEdge, Width, Height, pressed);
        if (checked_) {
            DrawTick(rp);
        }
    }

    GadgetReply Released(const GadgetInput& input) override {
        checked_ = !checked_;
        GadgetReply r = GTGadget::Released(input);
        r.code = checked_ ? 1 : 0;
        r.redraw = true;
        return r;
    }

private:
    // A tick two pixels thick, from the left middle down to the bottom third and up to the
    // top right, scaled to the box.
    void DrawTick(RastPort* rp) const {
        const int x0 = LeftEdge + Width / 4;
        const int x1 = LeftEdge + Width * 2 / 5;
        const int x2 = LeftEdge + Width * 3 / 4;
        const int y0 = TopEdge + Height / 2;
        const int y1 = TopEdge + Height - 3;
        const int y2 = TopEdge + 2;
        SetAPen(rp, look::kTextPen);
        for (int d = 0; d < 2; ++d) {
            Move(rp, static_cast<WORD>(x0 + d), static_cast<WORD>(y0));
            Draw(rp, x1 + d, y1);
            Draw(rp, x2 + d, y2);
        }
    }

    bool checked_ = false;
};

}  // namespace

GTGadget* NewCheckBoxGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    return new CheckBoxGadget(ng, vi, tags);
}

}  // namespace tessella::gadtools
