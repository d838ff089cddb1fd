#pragma once

#include <cstdint>

#include "GadgetControl.h"
#include "runtime/GadgetValueElement.h"

namespace tessella {

// A scroll bar on the platform's scroller gadget. Its range and position are ten times finer
// than the gadget's: the gadget gets them divided by 10, and positions read back are multiplied.
class ScrollBar : public GadgetControl, public GadgetValueElement {
public:
    using ScrollFn = void (*)(GUIElement*, int position);

    ScrollBar(GUIElement* parent, int minimum, int maximum);

    void SetRange(int minimum, int maximum);
    void SetPos(int p);
    // The gadget's position while shown (the user may have dragged it), else the stored one.
    int GetPos();
    void SetHScroll(short horizontal);
    void SetVScroll(short vertical);
    void SetOnScroll(ScrollFn fn) { onScroll = fn; }
    // The loop reports the gadget's new top in code.
    void OnScroll(int code) override;
    void Focus() override { FocusGadget(); }

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override;
    void OnDetach() override { GetPos(); }

private:
    void SetHorizontal(int16_t h);

    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t position = 0;
    int16_t horizontal = 1;
    ScrollFn onScroll = nullptr;
};

}  // namespace tessella
