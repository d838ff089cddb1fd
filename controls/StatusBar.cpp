#include "StatusBar.h"

namespace tessella {

StatusBar::StatusBar(GUIElement* parent, std::string s) : CellControl(parent) {
    if (parent == nullptr || parent->GetOrvClassName() != "form") {
        return;
    }
    text = std::move(s);
    SetBorder(1);
    backgroundColor = parent->GetBackgroundColor();
    size = {parent->Width() - 8, 14};
    position = {4, parent->Height() - 15};
}

}  // namespace tessella
