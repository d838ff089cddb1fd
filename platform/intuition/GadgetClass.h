#pragma once
// Gadgets that draw and run themselves (GTYP_CUSTOMGADGET), as the gadget libraries make them.
// Intuition calls them from the input task and from the callers' tasks, always holding the
// intuition lock, and for drawing also the window's layer (taken first).

#include "intuition.h"

namespace tessella::intuition {

struct GadgetInput {
    enum class Kind { Press, Move, Release, Key };
    Kind kind = Kind::Press;
    int x = 0;  // the pointer, relative to the window's outer top-left corner
    int y = 0;
    UWORD code = 0;  // a raw key, with its qualifier and dead-key prefix
    UWORD qualifier = 0;
    const DeadKeyPrefix* prefix = nullptr;
};

// What a gadget answers to one input: whether it keeps the input, the message it sends (class
// 0 for none) and whether it must be drawn again.
struct GadgetReply {
    bool keepActive = false;
    ULONG cls = 0;
    UWORD code = 0;
    bool redraw = false;
};

class CustomGadget : public Gadget {
public:
    CustomGadget();
    virtual ~CustomGadget() = default;
    CustomGadget(const CustomGadget&) = delete;
    CustomGadget& operator=(const CustomGadget&) = delete;

    // Draws the whole gadget, label included, with a rastport of its own on the window's bitmap.
    virtual void Render(RastPort* rp) = 0;
    virtual bool HitTest(int x, int y) const;
    virtual GadgetReply GoActive(const GadgetInput& input) = 0;
    virtual GadgetReply HandleInput(const GadgetInput& input);
    // Another click or a removal takes the input away.
    virtual void GoInactive() {}
    // Whether ActivateGadget may give it the keyboard.
    virtual bool TakesKeyboard() const { return false; }
    // ActivateGadget gave it the keyboard.
    virtual void GoActiveByCall() {}
};

inline bool IsCustom(const Gadget* g) {
    return g != nullptr && (g->GadgetType & GTYP_GTYPEMASK) == GTYP_CUSTOMGADGET;
}

// Detaches a gadget that is about to be freed from every window and from the input task, so
// that nothing can reach it afterwards; the caller holds the intuition lock.
void ForgetGadget(Gadget* gadget);

// Draws the window's gadgets from first on (count -1: all), taking the layer and then the
// intuition lock; gadgets no longer in the window are skipped.
void RenderGadgets(Window* window, Gadget* first, int count);

}  // namespace tessella::intuition
