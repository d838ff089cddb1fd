// Scrollers and sliders: a recessed track with a raised knob that follows the pointer. A
// scroller shows a visible part of a total (with arrow buttons when asked); a slider a level
// between a minimum and a maximum. Both send the position in Code: GADGETDOWN when grabbed
// (with GA_Immediate), MOUSEMOVE while dragged and GADGETUP on release.
#include <algorithm>
#include <cstdio>

#include "GadgetKinds.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {
namespace {

constexpr int kMinKnob = 6;

struct Span {
    int from = 0;  // along the gadget's axis, in window coordinates
    int length = 0;
};

class PropGadget : public GTGadget {
public:
    PropGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
        : GTGadget(kind, ng, vi, tags), slider_(kind == SLIDER_KIND) {
        Activation = GACT_RELVERIFY;
        if (GetTagData(GA_Immediate, FALSE, tags)) {
            Activation |= GACT_IMMEDIATE;
        }
        if (const TagItem* t = FindTagItem(GA_RelVerify, tags); t != nullptr && !t->ti_Data) {
            Activation &= ~GACT_RELVERIFY;
        }
        vertical_ = GetTagData(PGA_Freedom, LORIENT_HORIZ, tags) == LORIENT_VERT;
        if (slider_) {
            min_ = static_cast<LONG>(GetTagData(GTSL_Min, 0, tags));
            max_ = static_cast<LONG>(GetTagData(GTSL_Max, 15, tags));
            level_ = static_cast<LONG>(GetTagData(GTSL_Level, 0, tags));
            if (const auto* f =
                    reinterpret_cast<const char*>(GetTagData(GTSL_LevelFormat, 0, tags))) {
                levelFormat_ = f;
            }
            levelPlace_ = static_cast<ULONG>(GetTagData(GTSL_LevelPlace, PLACETEXT_LEFT, tags));
            maxLevelLen_ = static_cast<int>(GetTagData(GTSL_MaxLevelLen, 2, tags));
        } else {
            top_ = static_cast<LONG>(GetTagData(GTSC_Top, 0, tags));
            total_ = static_cast<LONG>(GetTagData(GTSC_Total, 0, tags));
            visible_ = static_cast<LONG>(GetTagData(GTSC_Visible, 2, tags));
            arrows_ = static_cast<int>(GetTagData(GTSC_Arrows, 0, tags));
        }
        Normalise();
    }

    bool SetAttrs(const TagItem* tags) override {
        bool redraw = GTGadget::SetAttrs(tags);
        const struct {
            Tag tag;
            LONG* field;
        } numbers[] = {{GTSL_Min, &min_}, {GTSL_Max, &max_},     {GTSL_Level, &level_},
                       {GTSC_Top, &top_}, {GTSC_Total, &total_}, {GTSC_Visible, &visible_}};
        for (const auto& n : numbers) {
            const bool mine =
                slider_ == (n.tag == GTSL_Min || n.tag == GTSL_Max || n.tag == GTSL_Level);
            if (const TagItem* t = FindTagItem(n.tag, tags); t != nullptr && mine) {
                *n.field = static_cast<LONG>(t->ti_Data);
                redraw = true;
            }
        }
        Normalise();
        return redraw;
    }

    bool GetAttr(Tag tag, IPTR* value) const override {
        const struct {
            Tag tag;
            LONG field;
            bool slider;
        } numbers[] = {{GTSL_Min, min_, true},      {GTSL_Max, max_, true},
                       {GTSL_Level, level_, true},  {GTSC_Top, top_, false},
                       {GTSC_Total, total_, false}, {GTSC_Visible, visible_, false}};
        for (const auto& n : numbers) {
            if (n.tag == tag && n.slider == slider_) {
                *value = static_cast<IPTR>(n.field);
                return true;
            }
        }
        return GTGadget::GetAttr(tag, value);
    }

protected:
    void DrawBody(RastPort* rp) override {
        look::Fill(rp, LeftEdge, TopEdge, Width, Height, look::kBackgroundPen);
        const Span track = Track();
        const Span knob = Knob();
        if (vertical_) {
            look::Bevel(rp, LeftEdge, track.from, Width, track.length, true);
            look::Fill(rp, LeftEdge + 2, knob.from, Width - 4, knob.length,
                       dragging_ ? look::kFillPen : look::kBackgroundPen);
            look::Bevel(rp, LeftEdge + 2, knob.from, Width - 4, knob.length, false);
        } else {
            look::Bevel(rp, track.from, TopEdge, track.length, Height, true);
            look::Fill(rp, knob.from, TopEdge + 2, knob.length, Height - 4,
                       dragging_ ? look::kFillPen : look::kBackgroundPen);
            look::Bevel(rp, knob.from, TopEdge + 2, knob.length, Height - 4, false);
        }
        if (arrows_ > 0) {
            DrawArrow(rp, 0);
            DrawArrow(rp, 1);
        }
        if (slider_ && !levelFormat_.empty()) {
            DrawLevel(rp);
        }
    }

    GadgetReply OnPress(const GadgetInput& input) override {
        const int along = vertical_ ? input.y : input.x;
        const Span track = Track();
        const Span knob = Knob();
        if (along >= track.from + track.length) {
            // The arrows: the first steps back, the second forward.
            const int arrow = (along - (track.from + track.length)) / std::max(arrows_, 1);
            Step(arrow == 0 ? -1 : 1);
        } else if (along < knob.from) {
            Step(-Page());
        } else if (along >= knob.from + knob.length) {
            Step(Page());
        } else {
            dragging_ = true;
            grab_ = along - knob.from;
        }
        GadgetReply r;
        r.keepActive = true;
        r.redraw = true;
        r.code = static_cast<UWORD>(Position());
        if (Activation & GACT_IMMEDIATE) {
            r.cls = IDCMP_GADGETDOWN;
        }
        return r;
    }

    GadgetReply OnMove(const GadgetInput& input) override {
        GadgetReply r;
        r.keepActive = true;
        if (!dragging_) {
            return r;
        }
        const Span track = Track();
        const Span knob = Knob();
        const int room = track.length - 4 - knob.length;
        const int start = (vertical_ ? input.y : input.x) - grab_ - (track.from + 2);
        const LONG range = Range();
        LONG position = 0;
        if (room > 0 && range > 0) {
            position = static_cast<LONG>(
                (static_cast<long long>(std::clamp(start, 0, room)) * range + room / 2) / room);
        }
        if (SetPosition(position)) {
            r.cls = IDCMP_MOUSEMOVE;
            r.code = static_cast<UWORD>(Position());
            r.redraw = true;
        }
        return r;
    }

    GadgetReply OnRelease(const GadgetInput&) override {
        GadgetReply r;
        r.redraw = dragging_;
        dragging_ = false;
        if (Activation & GACT_RELVERIFY) {
            r.cls = IDCMP_GADGETUP;
            r.code = static_cast<UWORD>(Position());
        }
        return r;
    }

private:
    int Length() const { return vertical_ ? Height : Width; }
    int Start() const { return vertical_ ? TopEdge : LeftEdge; }

    Span Track() const { return {Start(), std::max(0, Length() - 2 * std::max(arrows_, 0))}; }

    // Steps the position can take beyond the first.
    LONG Range() const { return slider_ ? max_ - min_ : std::max<LONG>(0, total_ - visible_); }

    LONG Position() const { return slider_ ? level_ : top_; }

    LONG Page() const { return slider_ ? 1 : std::max<LONG>(1, visible_); }

    bool SetPosition(LONG offset) {
        const LONG before = Position();
        if (slider_) {
            level_ = min_ + offset;
        } else {
            top_ = offset;
        }
        Normalise();
        return Position() != before;
    }

    void Step(LONG delta) { SetPosition(Position() - (slider_ ? min_ : 0) + delta); }

    void Normalise() {
        if (slider_) {
            max_ = std::max(max_, min_);
            level_ = std::clamp(level_, min_, max_);
        } else {
            total_ = std::max<LONG>(total_, 0);
            visible_ = std::max<LONG>(visible_, 0);
            top_ = std::clamp<LONG>(top_, 0, Range());
        }
    }

    Span Knob() const {
        const Span track = Track();
        const int inner = std::max(0, track.length - 4);
        if (inner == 0) {
            return {track.from, 0};
        }
        int length = inner;
        if (slider_) {
            length =
                std::max(kMinKnob, inner / static_cast<int>(std::min<LONG>(Range() + 1, inner)));
        } else if (total_ > visible_ && total_ > 0) {
            length = std::max(kMinKnob,
                              static_cast<int>(static_cast<long long>(inner) * visible_ / total_));
        }
        length = std::min(length, inner);
        const int room = inner - length;
        const LONG range = Range();
        const LONG offset = Position() - (slider_ ? min_ : 0);
        const int from =
            range > 0 ? static_cast<int>(static_cast<long long>(room) * offset / range) : 0;
        return {track.from + 2 + from, length};
    }

    void DrawArrow(RastPort* rp, int which) const {
        const Span track = Track();
        const int at = track.from + track.length + which * arrows_;
        const int x = vertical_ ? LeftEdge : at;
        const int y = vertical_ ? at : TopEdge;
        const int w = vertical_ ? Width : arrows_;
        const int h = vertical_ ? arrows_ : Height;
        look::Bevel(rp, x, y, w, h, false);
        // A small triangle pointing back (first) or forward (second).
        const int cx = x + w / 2;
        const int cy = y + h / 2;
        SetAPen(rp, look::kTextPen);
        for (int d = 0; d < 3; ++d) {
            const int tip = which == 0 ? -2 + d : 2 - d;
            if (vertical_) {
                Move(rp, static_cast<WORD>(cx - d), static_cast<WORD>(cy + tip));
                Draw(rp, cx + d, cy + tip);
            } else {
                Move(rp, static_cast<WORD>(cx + tip), static_cast<WORD>(cy - d));
                Draw(rp, cx + tip, cy + d);
            }
        }
    }

    void DrawLevel(RastPort* rp) const {
        // Only the number directives of the format are honoured, so any text is safe here.
        std::string text;
        for (size_t i = 0; i < levelFormat_.size(); ++i) {
            if (levelFormat_[i] != '%') {
                text += levelFormat_[i];
                continue;
            }
            size_t j = i + 1;
            while (j < levelFormat_.size() &&
                   std::string("-0123456789l").find(levelFormat_[j]) != std::string::npos) {
                ++j;
            }
            if (j < levelFormat_.size() && (levelFormat_[j] == 'd' || levelFormat_[j] == 'u')) {
                text += std::to_string(level_);
            } else if (j < levelFormat_.size()) {
                text += levelFormat_[j];
            }
            i = j;
        }
        const int width = std::max(maxLevelLen_, 1) * (font_ != nullptr ? font_->tf_XSize : 8);
        const int x = (levelPlace_ & PLACETEXT_RIGHT) ? LeftEdge + Width + 4 : LeftEdge - width - 4;
        look::Fill(rp, x, TopEdge, width, Height, look::kBackgroundPen);
        const int textWidth = look::TextWidth(font_, text);
        look::TextAt(rp, font_, text, x + width - textWidth, TopEdge, width, Height,
                     look::kTextPen);
    }

    bool slider_;
    bool vertical_ = false;
    LONG min_ = 0;
    LONG max_ = 0;
    LONG level_ = 0;
    LONG top_ = 0;
    LONG total_ = 0;
    LONG visible_ = 0;
    int arrows_ = 0;
    std::string levelFormat_;
    ULONG levelPlace_ = PLACETEXT_LEFT;
    int maxLevelLen_ = 2;
    bool dragging_ = false;
    int grab_ = 0;
};

}  // namespace

GTGadget* NewPropGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    return new PropGadget(kind, ng, vi, tags);
}

}  // namespace tessella::gadtools
