#pragma once

#include <cstdint>
#include <string>

#include "GadgetControl.h"
#include "runtime/Checkable.h"
#include "runtime/CommandElement.h"

namespace tessella {

// A check box on the platform's check-box gadget, its caption on the right; a click toggles it
// and runs the command.
class CheckBox : public GadgetControl, public CommandElement, public Checkable {
public:
    CheckBox(GUIElement* parent, std::string caption);

    void SetText(std::string s) override;
    void SetChecked(short checked) override;
    // The gadget's state while shown (the user may have clicked it), else the stored one.
    int16_t IsChecked();
    bool TakesFocus() const override { return true; }
    // Space toggles the box that has the keyboard and runs the command, as a click does.
    bool OnKeyPress(int character) override;
    void SetMultiline(short multiline) { this->multiline = multiline; }

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override;
    void OnDetach() override;
    bool LoadWithoutGadget() override;

private:
    int16_t checked = 0;
    int16_t multiline = 0;
};

}  // namespace tessella
