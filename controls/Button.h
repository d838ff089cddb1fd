#pragma once

#include <string>

#include "GadgetControl.h"
#include "runtime/CommandElement.h"

namespace tessella {

// A push button on the platform's button gadget; a click runs its command.
class Button : public GadgetControl, public CommandElement {
public:
    Button(GUIElement* parent, std::string caption);

    // A new caption needs a new gadget: a shown button is made again with it.
    void SetText(std::string s) override;
    bool TakesFocus() const override { return true; }
    // Space or Return presses the button that has the keyboard: its command runs, as a click's.
    bool OnKeyPress(int character) override;

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
};

}  // namespace tessella
