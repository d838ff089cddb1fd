// Radio buttons (mutual exclude): one small button per label, stacked, the active one sunken
// and filled; pressing one makes it active at once.
#include "gadtools/GadgetKinds.h"
#include "gadtools/GadgetLook.h"

namespace tessella::gadtools {
namespace {

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
            const bool on = static_cast<LONG>(i) == active_;
            look::Fill(rp, LeftEdge, y, Width, buttonHeight_,
                       on ? look::kFillPen : look::kBackgroundPen);
            look::Bevel(rp, LeftEdge, y, Width, buttonHeight_, on);
            DrawLabel(rp, labels_[i], -1, place_, LeftEdge, y, Width, buttonHeight_);
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
