// Text fields: string and integer gadgets. A click (or ActivateGadget) gives one the
// keyboard: characters are inserted at the cursor up to the maximum length, the cursor keys
// move, Backspace and Delete erase; Return or Tab end the editing with GADGETUP.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "GadgetKinds.h"
#include "keymap.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

namespace tessella::gadtools {
namespace {

constexpr int kInset = 4;
constexpr size_t kMostChars = 65535;

class StringGadget : public GTGadget {
public:
    StringGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags)
        : GTGadget(kind, ng, vi, tags), integer_(kind == INTEGER_KIND) {
        // Activation is always reported: the program moves its focus to the field then.
        Activation = GACT_RELVERIFY | GACT_IMMEDIATE;
        if (integer_) {
            Activation |= GACT_LONGINT;
            maxChars_ = std::min<size_t>(GetTagData(GTIN_MaxChars, 10, tags), kMostChars);
            SetNumber(static_cast<LONG>(GetTagData(GTIN_Number, 0, tags)));
        } else {
            maxChars_ = std::min<size_t>(GetTagData(GTST_MaxChars, 64, tags), kMostChars);
            SetText(reinterpret_cast<const char*>(GetTagData(GTST_String, 0, tags)));
        }
        if (place_ == 0) {
            place_ = PLACETEXT_LEFT;
        }
        published_.assign(maxChars_ + 1, '\0');
    }

    bool TakesKeyboard() const override { return true; }

    void GoInactive() override { editing_ = false; }

    // Focused by the program, the field shows its cursor after the text.
    void GoActiveByCall() override {
        editing_ = true;
        cursor_ = text_.size();
    }

    bool SetAttrs(const TagItem* tags) override {
        bool redraw = GTGadget::SetAttrs(tags);
        if (const TagItem* t = FindTagItem(integer_ ? GTIN_Number : GTST_String, tags)) {
            if (integer_) {
                SetNumber(static_cast<LONG>(t->ti_Data));
            } else {
                SetText(reinterpret_cast<const char*>(t->ti_Data));
            }
            redraw = true;
        }
        return redraw;
    }

    bool GetAttr(Tag tag, IPTR* value) const override {
        if (!integer_ && tag == GTST_String) {
            // The caller reads the text after the lock is gone, so it gets a buffer that lives
            // as long as the gadget and never moves.
            std::copy(text_.begin(), text_.end(), published_.begin());
            published_[text_.size()] = '\0';
            *value = reinterpret_cast<IPTR>(published_.data());
            return true;
        }
        if (integer_ && tag == GTIN_Number) {
            *value = static_cast<IPTR>(std::strtol(text_.c_str(), nullptr, 10));
            return true;
        }
        return GTGadget::GetAttr(tag, value);
    }

protected:
    void DrawBody(RastPort* rp) override {
        look::Fill(rp, LeftEdge, TopEdge, Width, Height, look::kBackgroundPen);
        look::Ridge(rp, LeftEdge, TopEdge, Width, Height);
        if (font_ == nullptr) {
            return;
        }
        const int boxLeft = LeftEdge + kInset;
        const int boxWidth = Width - 2 * kInset;
        ScrollToCursor(boxWidth);
        const std::string shown = text_.substr(first_);
        look::TextAt(rp, font_, shown, boxLeft, TopEdge, boxWidth, Height, look::kTextPen);
        if (editing_) {
            // The cursor is a block in the fill pen with its character over it.
            const int x = boxLeft + look::TextWidth(font_, text_.substr(first_, cursor_ - first_));
            const std::string under = cursor_ < text_.size() ? text_.substr(cursor_, 1) : " ";
            const int w = look::TextWidth(font_, under);
            const int top = TopEdge + (Height - font_->tf_YSize) / 2;
            if (x + w <= boxLeft + boxWidth) {
                look::Fill(rp, x, top, w, font_->tf_YSize, look::kFillPen);
                look::TextAt(rp, font_, under, x, TopEdge, w, Height, look::kFillTextPen);
            }
        }
    }

    GadgetReply OnPress(const GadgetInput& input) override {
        editing_ = true;
        cursor_ = CursorAt(input.x);
        GadgetReply r;
        r.keepActive = true;
        r.redraw = true;
        r.cls = (Activation & GACT_IMMEDIATE) ? IDCMP_GADGETDOWN : 0;
        return r;
    }

    GadgetReply OnMove(const GadgetInput&) override { return {true, 0, 0, false}; }

    // The button coming up leaves the keyboard with the field.
    GadgetReply OnRelease(const GadgetInput&) override { return {true, 0, 0, false}; }

    GadgetReply OnKey(const GadgetInput& input) override {
        GadgetReply r;
        r.keepActive = true;
        if (input.code & IECODE_UP_PREFIX) {
            return r;
        }
        r.redraw = true;
        const bool shift = input.qualifier & (IEQUALIFIER_LSHIFT | IEQUALIFIER_RSHIFT);
        switch (input.code) {
            case RAWKEY_LEFT:
                cursor_ = shift ? 0 : (cursor_ > 0 ? cursor_ - 1 : 0);
                return r;
            case RAWKEY_RIGHT:
                cursor_ = shift ? text_.size() : std::min(cursor_ + 1, text_.size());
                return r;
            case RAWKEY_BACKSPACE:
                if (cursor_ > 0) {
                    text_.erase(--cursor_, 1);
                }
                return r;
            case RAWKEY_DELETE:
                if (cursor_ < text_.size()) {
                    text_.erase(cursor_, 1);
                }
                return r;
            case RAWKEY_RETURN:
            case RAWKEY_ENTER:
            case RAWKEY_TAB:
                editing_ = false;
                if (integer_) {
                    SetNumber(static_cast<LONG>(std::strtol(text_.c_str(), nullptr, 10)));
                }
                r.keepActive = false;
                r.cls = (Activation & GACT_RELVERIFY) ? IDCMP_GADGETUP : 0;
                r.code = input.code == RAWKEY_TAB ? 9 : 0;
                return r;
            default:
                break;
        }
        Insert(input);
        return r;
    }

private:
    void Insert(const GadgetInput& input) {
        InputEvent ie{};
        ie.ie_Class = IECLASS_RAWKEY;
        ie.ie_Code = input.code;
        ie.ie_Qualifier = input.qualifier;
        ie.ie_EventAddress = const_cast<DeadKeyPrefix*>(input.prefix);
        char buffer[8];
        const WORD n = MapRawKey(&ie, buffer, sizeof(buffer), nullptr);
        for (WORD i = 0; i < n; ++i) {
            const auto c = static_cast<unsigned char>(buffer[i]);
            if (c < 32 || (c >= 127 && c < 160) || text_.size() >= maxChars_) {
                continue;  // control characters and sequences are not text
            }
            if (integer_ && !(std::isdigit(c) || (c == '-' && cursor_ == 0))) {
                continue;
            }
            text_.insert(cursor_++, 1, static_cast<char>(c));
        }
    }

    void SetText(const char* text) {
        text_ = text != nullptr ? text : "";
        if (text_.size() > maxChars_) {
            text_.resize(maxChars_);
        }
        cursor_ = text_.size();
        first_ = 0;
    }

    void SetNumber(LONG number) {
        char buffer[16];
        std::snprintf(buffer, sizeof(buffer), "%ld", static_cast<long>(number));
        SetText(buffer);
    }

    size_t CursorAt(int x) const {
        size_t at = first_;
        int left = LeftEdge + kInset;
        while (at < text_.size()) {
            const int w = look::TextWidth(font_, text_.substr(at, 1));
            if (x < left + w / 2) {
                break;
            }
            left += w;
            ++at;
        }
        return at;
    }

    // The first character shown moves so that the cursor stays inside the box.
    void ScrollToCursor(int boxWidth) {
        cursor_ = std::min(cursor_, text_.size());
        first_ = std::min(first_, cursor_);
        const int cursorWidth = font_ != nullptr ? font_->tf_XSize : 8;
        while (first_ < cursor_ &&
               look::TextWidth(font_, text_.substr(first_, cursor_ - first_)) + cursorWidth >
                   boxWidth) {
            ++first_;
        }
    }

    bool integer_;
    size_t maxChars_ = 64;
    std::string text_;
    mutable std::vector<char> published_;
    size_t cursor_ = 0;
    size_t first_ = 0;  // the first character shown
    bool editing_ = false;
};

}  // namespace

GTGadget* NewStringGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags) {
    return new StringGadget(kind, ng, vi, tags);
}

}  // namespace tessella::gadtools
