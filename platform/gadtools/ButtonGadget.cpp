// A push button: raised with its label inside, sunken and filled while it is held.
#include "GadgetKinds.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {
namespace {

class ButtonGadget : public GTGadget {
public:
    ButtonGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
        : GTGadget(BUTTON_KIND, ng, vi, tags) {
        Activation = GACT_RELVERIFY;
        if (GetTagData(GA_Immediate, FALSE, tags)) {
            Activation |= GACT_IMMEDIATE;
        }
    }

protected:
    bool DrawsOwnLabel() const override { return (place_ & ~PLACETEXT_IN) == 0; }

    void DrawBody(RastPort* rp) override {
        const bool pressed = Flags & GFLG_SELECTED;
        look::Fill(rp, LeftEdge, TopEdge, Width, Height,
                   pressed ? look::kFillPen : look::kBackgroundPen);
        look::Bevel(rp, LeftEdge, TopEdge, Width, Height, pressed);
        if (DrawsOwnLabel() && font_ != nullptr) {
            const int width = look::TextWidth(font_, label_);
            look::TextAt(rp, font_, label_, LeftEdge + (Width - width) / 2, TopEdge, Width - 4,
                         Height, pressed ? look::kFillTextPen : look::kTextPen, underscore_);
        }
    }
};

class ContextGadget : public GTGadget {
public:
    explicit ContextGadget(VisualInfo* vi) : GTGadget(GENERIC_KIND, NewGadget{}, vi, nullptr) {}
    bool HitTest(int, int) const override { return false; }

protected:
    void DrawBody(RastPort*) override {}
};

}  // namespace

GTGadget* NewButtonGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    return new ButtonGadget(ng, vi, tags);
}

GTGadget* NewContextGadget(VisualInfo* vi) {
    return new ContextGadget(vi);
}

}  // namespace tessella::gadtools
