// A list view: the names of an exec list in a recessed box, one per row, with a scroll bar
// on the right. A click selects a row and reports its index with GADGETUP; the scroll bar
// only moves the rows.
#include <algorithm>

#include "GadgetKinds.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {
namespace {

constexpr int kBarWidth = 16;
constexpr int kArrowHeight = 10;
constexpr int kMinKnob = 6;
const IPTR kDetached = ~IPTR{0};

class ListViewGadget : public GTGadget {
public:
    ListViewGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
        : GTGadget(LISTVIEW_KIND, ng, vi, tags) {
        Activation = GACT_RELVERIFY | GACT_IMMEDIATE;
        showSelected_ = FindTagItem(GTLV_ShowSelected, tags) != nullptr;
        readOnly_ = GetTagData(GTLV_ReadOnly, FALSE, tags) != 0;
        itemHeight_ = static_cast<int>(
            GetTagData(GTLV_ItemHeight, (font_ != nullptr ? font_->tf_YSize : 8) + 1, tags));
        itemHeight_ = std::max(itemHeight_, 1);
        if (place_ == 0) {
            place_ = PLACETEXT_ABOVE;
        }
        Apply(tags);
    }

    bool SetAttrs(const TagItem* tags) override {
        const bool common = GTGadget::SetAttrs(tags);
        return Apply(tags) || common;
    }

    bool GetAttr(Tag tag, IPTR* value) const override {
        switch (tag) {
            case GTLV_Selected:
                *value = static_cast<IPTR>(static_cast<SIPTR>(selected_));
                return true;
            case GTLV_Top:
                *value = static_cast<IPTR>(top_);
                return true;
            case GTLV_Labels:
                *value = reinterpret_cast<IPTR>(list_);
                return true;
            default:
                return GTGadget::GetAttr(tag, value);
        }
    }

protected:
    void DrawBody(RastPort* rp) override {
        look::Fill(rp, LeftEdge, TopEdge, Width, Height, look::kBackgroundPen);
        const int listWidth = Width - kBarWidth;
        look::Bevel(rp, LeftEdge, TopEdge, listWidth, Height, true);
        for (int row = 0; row < Rows(); ++row) {
            const size_t index = static_cast<size_t>(top_ + row);
            if (index >= labels_.size()) {
                break;
            }
            const int y = TopEdge + 2 + row * itemHeight_;
            const bool chosen = showSelected_ && static_cast<LONG>(index) == selected_;
            if (chosen) {
                look::Fill(rp, LeftEdge + 2, y, listWidth - 4, itemHeight_, look::kFillPen);
            }
            look::TextAt(rp, font_, labels_[index], LeftEdge + 4, y, listWidth - 8, itemHeight_,
                         chosen ? look::kFillTextPen : look::kTextPen);
        }
        DrawBar(rp);
    }

    GadgetReply OnPress(const GadgetInput& input) override {
        GadgetReply r;
        r.keepActive = true;
        r.redraw = true;
        if (input.x >= LeftEdge + Width - kBarWidth) {
            PressBar(input.y);
            return r;
        }
        const int row = (input.y - TopEdge - 2) / itemHeight_;
        const LONG index = top_ + row;
        if (readOnly_ || row < 0 || row >= Rows() || index >= static_cast<LONG>(labels_.size())) {
            r.keepActive = false;
            return r;
        }
        selected_ = index;
        picking_ = true;
        return r;
    }

    GadgetReply OnMove(const GadgetInput& input) override {
        GadgetReply r;
        r.keepActive = true;
        if (dragging_) {
            const int room = TrackHeight() - KnobHeight();
            const int start = input.y - grab_ - TopEdge;
            const LONG range = MaxTop();
            const LONG top =
                room > 0
                    ? static_cast<LONG>(
                          (static_cast<long long>(std::clamp(start, 0, room)) * range + room / 2) /
                          room)
                    : 0;
            r.redraw = top != top_;
            top_ = top;
        }
        return r;
    }

    GadgetReply OnRelease(const GadgetInput&) override {
        GadgetReply r;
        r.redraw = dragging_;
        dragging_ = false;
        if (picking_ && (Activation & GACT_RELVERIFY)) {
            r.cls = IDCMP_GADGETUP;
            r.code = static_cast<UWORD>(selected_);
        }
        picking_ = false;
        return r;
    }

private:
    bool Apply(const TagItem* tags) {
        bool redraw = false;
        if (const TagItem* t = FindTagItem(GTLV_Labels, tags)) {
            labels_.clear();
            list_ = t->ti_Data == kDetached ? nullptr : reinterpret_cast<List*>(t->ti_Data);
            // The names are copied: the program may free its nodes once it detaches the list.
            for (Node* n = list_ != nullptr ? list_->lh_Head : nullptr;
                 n != nullptr && n->ln_Succ != nullptr; n = n->ln_Succ) {
                labels_.emplace_back(n->ln_Name != nullptr ? n->ln_Name : "");
            }
            redraw = true;
        }
        if (const TagItem* t = FindTagItem(GTLV_Selected, tags)) {
            selected_ = static_cast<LONG>(static_cast<SIPTR>(t->ti_Data));
            if (t->ti_Data == kDetached || selected_ < 0) {
                selected_ = -1;
            }
            redraw = true;
        }
        if (const TagItem* t = FindTagItem(GTLV_Top, tags)) {
            top_ = static_cast<LONG>(t->ti_Data);
            redraw = true;
        }
        if (const TagItem* t = FindTagItem(GTLV_MakeVisible, tags)) {
            const LONG row = static_cast<LONG>(t->ti_Data);
            if (row < top_) {
                top_ = row;
            } else if (row >= top_ + Rows()) {
                top_ = row - Rows() + 1;
            }
            redraw = true;
        }
        if (selected_ >= static_cast<LONG>(labels_.size())) {
            selected_ = -1;
        }
        top_ = std::clamp<LONG>(top_, 0, MaxTop());
        return redraw;
    }

    int Rows() const { return std::max(0, (Height - 4) / itemHeight_); }
    LONG MaxTop() const { return std::max<LONG>(0, static_cast<LONG>(labels_.size()) - Rows()); }
    int TrackHeight() const { return std::max(0, Height - 2 * kArrowHeight); }

    int KnobHeight() const {
        const int track = TrackHeight() - 4;
        if (labels_.empty() || static_cast<LONG>(labels_.size()) <= Rows()) {
            return std::max(track, 0);
        }
        return std::clamp(track * Rows() / static_cast<int>(labels_.size()),
                          std::min(kMinKnob, track), std::max(track, 0));
    }

    int KnobTop() const {
        const int room = TrackHeight() - 4 - KnobHeight();
        const LONG range = MaxTop();
        return TopEdge + 2 +
               (range > 0 ? static_cast<int>(static_cast<long long>(room) * top_ / range) : 0);
    }

    void PressBar(int y) {
        const int arrows = TopEdge + TrackHeight();
        if (y >= arrows) {
            top_ += y < arrows + kArrowHeight ? -1 : 1;
        } else if (y < KnobTop()) {
            top_ -= std::max(1, Rows());
        } else if (y >= KnobTop() + KnobHeight()) {
            top_ += std::max(1, Rows());
        } else {
            dragging_ = true;
            grab_ = y - KnobTop() + 2;
        }
        top_ = std::clamp<LONG>(top_, 0, MaxTop());
    }

    void DrawBar(RastPort* rp) const {
        const int x = LeftEdge + Width - kBarWidth;
        look::Bevel(rp, x, TopEdge, kBarWidth, TrackHeight(), true);
        look::Fill(rp, x + 2, KnobTop(), kBarWidth - 4, KnobHeight(),
                   dragging_ ? look::kFillPen : look::kBackgroundPen);
        look::Bevel(rp, x + 2, KnobTop(), kBarWidth - 4, KnobHeight(), false);
        for (int which = 0; which < 2; ++which) {
            const int y = TopEdge + TrackHeight() + which * kArrowHeight;
            look::Bevel(rp, x, y, kBarWidth, kArrowHeight, false);
            const int cx = x + kBarWidth / 2;
            const int cy = y + kArrowHeight / 2;
            SetAPen(rp, look::kTextPen);
            for (int d = 0; d < 3; ++d) {
                const int row = which == 0 ? cy - 1 + d : cy + 1 - d;
                Move(rp, static_cast<WORD>(cx - d), static_cast<WORD>(row));
                Draw(rp, cx + d, row);
            }
        }
    }

    std::vector<std::string> labels_;
    List* list_ = nullptr;
    LONG selected_ = -1;
    LONG top_ = 0;
    int itemHeight_ = 9;
    bool showSelected_ = false;
    bool readOnly_ = false;
    bool picking_ = false;
    bool dragging_ = false;
    int grab_ = 0;
};

}  // namespace

GTGadget* NewListViewGadget(const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    return new ListViewGadget(ng, vi, tags);
}

}  // namespace tessella::gadtools
