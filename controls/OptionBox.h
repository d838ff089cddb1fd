#pragma once

#include "ComboBox.h"

namespace tessella {

// A column of radio buttons, one per item, on the platform's radio-button gadget. Pressing one
// runs the command at once; it is no tab stop, so the press reaches the command.
class OptionBox : public ComboBox {
public:
    explicit OptionBox(GUIElement* parent);

    bool TakesFocus() const override { return true; }
    // The cursor keys choose the item above or below in the box that has the keyboard (left
    // and right as well), and run the command, as a click on that item does.
    void OnKeyDOWN(int key) override;

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override {}
    // The radio gadget takes no new labels: a shown box is made again with its items.
    void ItemsChanged(int selected) override;
    Tag ActiveTag() const override { return GTMX_Active; }
};

}  // namespace tessella
