#include "CheckBox.h"

#include "runtime/Application.h"

namespace tessella {

CheckBox::CheckBox(GUIElement* parent, std::string caption) : GadgetControl(parent) {
    className = "checkbox";
    isTabStop = 0;
    size = {80, 30};
    text = std::move(caption);
}

void CheckBox::SetText(std::string s) {
    text = std::move(s);
    Rebuild();
}

void CheckBox::SetChecked(short value) {
    checked = value;
    SetGadgetAttrs(GTCB_Checked, checked != 0 ? TRUE : FALSE);
}

int16_t CheckBox::IsChecked() {
    IPTR value = 0;
    if (GetGadgetAttr(GTCB_Checked, value)) {
        checked = value != 0 ? 1 : 0;
    }
    return checked;
}

bool CheckBox::OnKeyPress(int character) {
    if (character == ' ' && HasKeyFocus()) {
        SetChecked(IsChecked() != 0 ? 0 : 1);
        OnCommand(this);
        return false;
    }
    return GadgetControl::OnKeyPress(character);
}

Gadget* CheckBox::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    gadgetLabel = text;
    ng.ng_GadgetText = gadgetLabel.c_str();
    ng.ng_Flags = PLACETEXT_RIGHT;
    return MakeGadget(CHECKBOX_KIND, last, ng, GTCB_Checked, checked != 0 ? TRUE : FALSE,
                      GA_RelVerify, TRUE);
}

// A state set while the box was hidden reaches the gadget it gets back.
void CheckBox::OnReattach() {
    WriteAttrs(GTCB_Checked, checked != 0 ? TRUE : FALSE);
}

void CheckBox::OnDetach() {
    IsChecked();
}

bool CheckBox::LoadWithoutGadget() {
    Application::Log("Errore creazione gadgets");
    return false;
}

}  // namespace tessella
