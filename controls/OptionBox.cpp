#include "OptionBox.h"

namespace tessella {

OptionBox::OptionBox(GUIElement* parent) : ComboBox(parent) {
    className = "optionbox";
    isTabStop = 0;
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
