#pragma once

#include <cstdint>
#include <string>

#include "GadgetControl.h"

namespace tessella {

// A caption shown by the platform's text gadget, in its own pens, justification and optional
// recessed frame, at the label's place in the window.
class Label : public GadgetControl {
public:
    Label(GUIElement* parent, std::string caption);
    void Init(GUIElement* newParent, std::string caption);

    void SetText(std::string s) override;
    void SetBackgroundColor(unsigned long color) override;
    void SetColor(int pen);
    void SetLeftAlign(short on);
    void SetRightAlign(short on);
    void SetCenterAlign(short on);
    // A frame cannot be added to a gadget: a new one is made.
    void SetBorder(short flag);
    void SetWindosStyle();

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override { Retune(); }

private:
    // Its own colour, else its container's, else pen 0.
    int BackPen() const;
    int Justification() const;
    void Retune();

    uint8_t textPen = 1;
    int16_t border = 0;
    int16_t rightAlign = 0;
    int16_t centreAlign = 0;
};

}  // namespace tessella
