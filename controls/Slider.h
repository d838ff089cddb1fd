#pragma once

#include <cstdint>
#include <memory>

#include "GadgetControl.h"
#include "runtime/GadgetValueElement.h"

namespace tessella {

class CellControl;

// A slider on the platform's slider gadget, between a minimum and a maximum, with two text
// cells beside it that show the two bounds.
class Slider : public GadgetControl, public GadgetValueElement {
public:
    using ChangeFn = void (*)(GUIElement*, int value);

    Slider(GUIElement* parent, short vertical, int minimum, int maximum);
    // The further number is accepted for callers that pass one; it changes nothing.
    Slider(GUIElement* parent, short vertical, int minimum, int maximum, long unused);
    ~Slider() override;

    void Load() override;
    void Hide() override;
    // A value outside the range is taken as the nearer bound.
    void SetValue(int v);
    // The gadget's level while shown (the user may have moved it), else the stored one.
    int GetValue();
    void SetOnChangeValue(ChangeFn fn) { onChangeValue = fn; }
    // The loop reports that the user let go of the knob.
    void OnChangeValue() override;
    void SetShowLabel(short show);
    // Puts the bound labels beside the slider: above and below it when vertical, left and
    // right of it otherwise.
    void PosizioneLabel();
    void Focus() override { FocusGadget(); }

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override;
    void OnDetach() override { GetValue(); }

private:
    void ShowLabels(bool show);

    int32_t minimum = 0;
    int32_t maximum = 0;
    int32_t value = 0;
    int16_t vertical = 0;
    int16_t showLabels = 1;
    ChangeFn onChangeValue = nullptr;
    std::unique_ptr<CellControl> minLabel;
    std::unique_ptr<CellControl> maxLabel;
};

}  // namespace tessella
