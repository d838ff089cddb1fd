// Radio buttons (mutual exclude): one small round button per label, stacked, the active one
// sunken with a dot; pressing one makes it active at once.
#include <algorithm>

#include "GadgetKinds.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {
namespace {

// Where the ring starts and the dot ends, as squared distances from the centre of the circle
// (1 is its edge).
constexpr double kRingInside = 0.55;
constexpr double kDot = 0.3;

class MxGadget : public GTGadget {
public:
    MxGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
        : GTGadget(MX_KIND, ng, vi, tags) {
        Activation = GACT_IMMEDIATE;
        labels_ = CopyLabels(FindTagItem(GTMX_Labels, tags));
        spacing_ = static_cast<int>(GetTagData(GTMX_Spacing, 1, tags));
        if (!GetTagData(GTMX_Scaled, FALSE, tags)) {
            Width = MXWIDTH;
            Height = MXHEIGHT;
        }
        active_ = Clamp(static_cast<LONG>(GetTagData(GTMX_Active, 0, tags)));
        if (place_ == 0) {
            place_ = PLACETEXT_LEFT;
        }
        buttonHeight_ = Height;
        Height = static_cast<WORD>(Pitch() * std::max<int>(1, labels_.size()) - spacing_);
    }

    bool SetAttrs(const TagItem* tags) override {
        bool redraw = GTGadget::SetAttrs(tags);
        if (const TagItem* t = FindTagItem(GTMX_Active, tags)) {
            active_ = Clamp(static_cast<LONG>(t->ti_Data));
            redraw = true;
        }
        return redraw;
    }

    bool GetAttr(Tag tag, IPTR* value) const override {
        if (tag == GTMX_Active) {
            *value = static_cast<IPTR>(active_);
            return true;
        }
        return GTGadget::GetAttr(tag, value);
    }

protected:
    // The kind's label is the labels of its buttons.
    bool DrawsOwnLabel() const override { return true; }

    void DrawBody(RastPort* rp) override {
        for (size_t i = 0; i < labels_.size(); ++i) {
            const int y = TopEdge + static_cast<int>(i) * Pitch();
            DrawRadio(rp, y, static_cast<LONG>(i) == active_);
            // The label keeps the usual gap from the round button, not from the wider box.
            DrawLabel(rp, labels_[i], -1, place_, LeftEdge, y, RadioWidth() + 2, buttonHeight_);
        }
    }

    GadgetReply OnPress(const GadgetInput& input) override {
        GadgetReply r;
        const int row = (input.y - TopEdge) / Pitch();
        if (row < 0 || static_cast<size_t>(row) >= labels_.size() ||
            input.y - TopEdge - row * Pitch() >= buttonHeight_) {
            return r;  // between two buttons
        }
        active_ = row;
        r.cls = IDCMP_GADGETDOWN;
        r.code = static_cast<UWORD>(row);
        r.redraw = true;
        return r;
    }

private:
    // A round button: a ring lit from the top left (from the bottom right once chosen)
    // around a dot in the fill pen that only the chosen one shows.
    void DrawRadio(RastPort* rp, int top, bool on) const {
        look::Fill(rp, LeftEdge, top, Width, buttonHeight_, look::kBackgroundPen);
        // Round on square pixels: as wide as it is high, at the box's left end.
        const int width = RadioWidth();
        const double rx = width / 2.0;
        const double ry = buttonHeight_ / 2.0;
        for (int y = 0; y < buttonHeight_; ++y) {
            for (int x = 0; x < width; ++x) {
                const double dx = (x + 0.5 - rx) / rx;
                const double dy = (y + 0.5 - ry) / ry;
                const double d = dx * dx + dy * dy;
                UBYTE pen = look::kBackgroundPen;
                if (d > 1.0) {
                    continue;
                }
                if (d > kRingInside) {
                    const bool lit = dx + dy < 0;
                    pen = lit != on ? look::kShinePen : look::kShadowPen;
                } else if (on && d <= kDot) {
                    pen = look::kFillPen;
                } else {
                    continue;
                }
                SetAPen(rp, pen);
                WritePixel(rp, LeftEdge + x, top + y);
            }
        }
    }

    int RadioWidth() const { return std::min<int>(Width, buttonHeight_); }

    int Pitch() const {
        const int text = font_ != nullptr ? font_->tf_YSize : 0;
        return std::max<int>(buttonHeight_, text) + spacing_;
    }

    LONG Clamp(LONG index) const {
        const LONG n = static_cast<LONG>(labels_.size());
        return index < 0 || n == 0 ? 0 : std::min(index, n - 1);
    }

    std::vector<std::string> labels_;
    int spacing_ = 1;
    int buttonHeight_ = MXHEIGHT;
    LONG active_ = 0;
};

}  // namespace

GTGadget* NewMxGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    return new MxGadget(ng, vi, tags);
}

}  // namespace tessella::gadtools
