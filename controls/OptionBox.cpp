#include "OptionBox.h"

#include <keymap.h>

namespace tessella {

OptionBox::OptionBox(GUIElement* parent) : ComboBox(parent) {
    className = "optionbox";
    isTabStop = 0;
}

void OptionBox::OnKeyDOWN(int key) {
    GadgetControl::OnKeyDOWN(key);
    if (!HasKeyFocus()) {
        return;
    }
    int step = 0;
    if (key == RAWKEY_UP || key == RAWKEY_LEFT) {
        step = -1;
    } else if (key == RAWKEY_DOWN || key == RAWKEY_RIGHT) {
        step = 1;
    }
    const int now = SelectedIndex();
    const int next = now + step;
    if (step == 0 || now < 0 || next < 0 || next >= ItemsCount()) {
        return;
    }
    SetSelectedIndex(next);
    OnCommand(this);
}

Gadget* OptionBox::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    ng.ng_Flags = PLACETEXT_RIGHT;
    return MakeGadget(MX_KIND, last, ng, GTMX_Labels, BuildLabelArray(), GTMX_Active, StartIndex());
}

void OptionBox::ItemsChanged(int selected) {
    const bool shown = loaded;
    if (shown) {
        Hide();  // keeps the gadget's choice...
    }
    keptIndex = selected;  // ...which the items' choice replaces
    Rebuild();
    if (shown) {
        Show();
    }
}

}  // namespace tessella
