// A cycle gadget: a raised button showing the current label beside a cycle glyph; each click
// moves to the next label (with Shift, the previous one).
#include "GadgetKinds.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {

std::vector<std::string> CopyLabels(const TagItem* labels) {
    std::vector<std::string> copy;
    const auto* array =
        labels != nullptr ? reinterpret_cast<CONST_STRPTR*>(labels->ti_Data) : nullptr;
    for (size_t i = 0; array != nullptr && array[i] != nullptr; ++i) {
        copy.emplace_back(array[i]);
    }
    return copy;
}

namespace {

constexpr int kGlyphWidth = 20;

class CycleGadget : public GTGadget {
public:
    CycleGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
        : GTGadget(CYCLE_KIND, ng, vi, tags) {
        Activation = GACT_RELVERIFY;
        labels_ = CopyLabels(FindTagItem(GTCY_Labels, tags));
        active_ = Clamp(static_cast<LONG>(GetTagData(GTCY_Active, 0, tags)));
    }

    bool SetAttrs(const TagItem* tags) override {
        bool redraw = GTGadget::SetAttrs(tags);
        if (const TagItem* t = FindTagItem(GTCY_Labels, tags)) {
            labels_ = CopyLabels(t);
            active_ = Clamp(active_);
            redraw = true;
        }
        if (const TagItem* t = FindTagItem(GTCY_Active, tags)) {
            active_ = Clamp(static_cast<LONG>(t->ti_Data));
            redraw = true;
        }
        return redraw;
    }

    bool GetAttr(Tag tag, IPTR* value) const override {
        if (tag == GTCY_Active) {
            *value = static_cast<IPTR>(active_);
            return true;
        }
        if (tag == GTCY_Labels) {
            *value = 0;  // the labels are copies; the caller's array is its own
            return true;
        }
        return GTGadget::GetAttr(tag, value);
    }

protected:
    void DrawBody(RastPort* rp) override {
        const bool pressed = Flags & GFLG_SELECTED;
        look::Fill(rp, LeftEdge, TopEdge, Width, Height,
                   pressed ? look::kFillPen : look::kBackgroundPen);
        look::Bevel(rp, LeftEdge, TopEdge, Width, Height, pressed);
        DrawGlyph(rp);
        // The separator between the glyph and the label.
        look::Fill(rp, LeftEdge + kGlyphWidth, TopEdge + 2, 1, Height - 4, look::kShadowPen);
        look::Fill(rp, LeftEdge + kGlyphWidth + 1, TopEdge + 2, 1, Height - 4, look::kShinePen);
        if (active_ >= 0 && static_cast<size_t>(active_) < labels_.size() && font_ != nullptr) {
            const std::string& text = labels_[static_cast<size_t>(active_)];
            const int boxLeft = LeftEdge + kGlyphWidth + 4;
            const int boxWidth = Width - kGlyphWidth - 8;
            const int width = std::min(look::TextWidth(font_, text), boxWidth);
            look::TextAt(rp, font_, text, boxLeft + (boxWidth - width) / 2, TopEdge, boxWidth,
                         Height, pressed ? look::kFillTextPen : look::kTextPen);
        }
    }

    GadgetReply Released(const GadgetInput& input) override {
        GadgetReply r = GTGadget::Released(input);
        const LONG n = static_cast<LONG>(labels_.size());
        if (n > 0) {
            const bool backwards = input.qualifier & (IEQUALIFIER_LSHIFT | IEQUALIFIER_RSHIFT);
            active_ = backwards ? (active_ + n - 1) % n : (active_ + 1) % n;
        }
        r.code = static_cast<UWORD>(active_);
        r.redraw = true;
        return r;
    }

private:
    LONG Clamp(LONG index) const {
        const LONG n = static_cast<LONG>(labels_.size());
        return index < 0 || n == 0 ? 0 : std::min(index, n - 1);
    }

    // An open ring with an arrow head at its top, the sign of a cycle gadget.
    void DrawGlyph(RastPort* rp) const {
        const int cx = LeftEdge + kGlyphWidth / 2;
        const int cy = TopEdge + Height / 2;
        const int r = std::max(2, std::min(kGlyphWidth / 2 - 5, Height / 2 - 4));
        SetAPen(rp, look::kTextPen);
        Move(rp, static_cast<WORD>(cx + r), static_cast<WORD>(cy - r + 1));
        Draw(rp, cx + r, cy + r - 1);
        Draw(rp, cx + r - 1, cy + r);
        Draw(rp, cx - r + 1, cy + r);
        Draw(rp, cx - r, cy + r - 1);
        Draw(rp, cx - r, cy - r + 1);
        Draw(rp, cx - r + 1, cy - r);
        Draw(rp, cx + 1, cy - r);
        // The arrow head points along the ring, back towards its open end.
        Move(rp, static_cast<WORD>(cx + 1), static_cast<WORD>(cy - r - 2));
        Draw(rp, cx + 3, cy - r);
        Draw(rp, cx + 1, cy - r + 2);
    }

    std::vector<std::string> labels_;
    LONG active_ = 0;
};

}  // namespace

GTGadget* NewCycleGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    return new CycleGadget(ng, vi, tags);
}

}  // namespace tessella::gadtools
