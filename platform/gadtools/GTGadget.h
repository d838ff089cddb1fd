#pragma once
// The common part of the standard gadgets: the box from the NewGadget, the label placed
// around it, the font, the disabled look, and the attributes every kind shares.

#include <string>

#include "gadtools.h"
#include "platform/intuition/GadgetClass.h"

namespace tessella::gadtools {

// What GetVisualInfoA hands out: the screen the gadgets and menus are made for.
struct VisualInfo {
    ULONG magic = kMagic;
    Screen* screen = nullptr;
    TextFont* font = nullptr;  // the screen's font, not owned

    static constexpr ULONG kMagic = 0x47545649;  // "GTVI"
};

VisualInfo* VisualInfoOf(APTR visualInfo);

using intuition::GadgetInput;
using intuition::GadgetReply;

class GTGadget : public intuition::CustomGadget {
public:
    GTGadget(ULONG kind, const NewGadget& ng, VisualInfo* vi, const TagItem* tags);
    ~GTGadget() override;

    ULONG Kind() const { return kind_; }
    void Render(RastPort* rp) final;
    GadgetReply GoActive(const GadgetInput& input) override;
    GadgetReply HandleInput(const GadgetInput& input) override;

    // Changes attributes; true when the gadget must be drawn again.
    virtual bool SetAttrs(const TagItem* tags);
    // Reads one attribute; false when the kind has no such attribute.
    virtual bool GetAttr(Tag tag, IPTR* value) const;

protected:
    // Draws the box of the gadget; the label and the ghosting are done by Render.
    virtual void DrawBody(RastPort* rp) = 0;
    // Whether the label goes around the box (most kinds) or is drawn by the kind itself.
    virtual bool DrawsOwnLabel() const { return false; }
    // The press the kind acts on; a button-like default: selected while the pointer is over.
    virtual GadgetReply OnPress(const GadgetInput& input);
    virtual GadgetReply OnMove(const GadgetInput& input);
    virtual GadgetReply OnRelease(const GadgetInput& input);
    virtual GadgetReply OnKey(const GadgetInput& input);
    // What a release over the gadget does for a kind that acts on releases.
    virtual GadgetReply Released(const GadgetInput& input);

    bool Disabled() const { return (Flags & GFLG_DISABLED) != 0; }
    bool Over(const GadgetInput& input) const { return HitTest(input.x, input.y); }
    void DrawLabel(RastPort* rp, const std::string& text, int underscore, ULONG place, int x, int y,
                   int w, int h) const;

    TextFont* font_ = nullptr;
    std::string label_;
    int underscore_ = -1;
    ULONG place_ = 0;
    bool highLabel_ = false;

private:
    ULONG kind_;
    bool ownsFont_ = false;
};

// Splits "_Name" into "Name" and the index of the character to underline.
void StripUnderscore(std::string& text, int& underscore, char marker);

}  // namespace tessella::gadtools
