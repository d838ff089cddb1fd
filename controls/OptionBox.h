#pragma once

#include "ComboBox.h"

namespace tessella {

// A column of radio buttons, one per item, on the platform's radio-button gadget. Pressing one
// runs the command at once; it is no tab stop, so the press reaches the command.
class OptionBox : public ComboBox {
public:
    explicit OptionBox(GUIElement* parent);

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override {}
    // The radio gadget takes no new labels: a shown box is made again with its items.
    void ItemsChanged(int selected) override;
    Tag ActiveTag() const override { return GTMX_Active; }
};

}  // namespace tessella
