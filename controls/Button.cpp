#include "Button.h"

namespace tessella {

Button::Button(GUIElement* parent, std::string caption) : GadgetControl(parent) {
    className = "button";
    isTabStop = 0;
    size = {80, 30};
    text = std::move(caption);
}

void Button::SetText(std::string s) {
    text = std::move(s);
    Rebuild();
}

bool Button::OnKeyPress(int character) {
    if ((character == ' ' || character == '\r') && HasKeyFocus()) {
        OnCommand(this);
        return false;
    }
    return GadgetControl::OnKeyPress(character);
}

Gadget* Button::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    gadgetLabel = text;
    ng.ng_GadgetText = gadgetLabel.c_str();
    ng.ng_Flags = PLACETEXT_IN;
    return MakeGadget(BUTTON_KIND, last, ng);
}

}  // namespace tessella
