#pragma once

namespace tessella {

class GUIElement;

// What the event loop needs of the menu bar, its menus and their entries: the entry at a
// position, for turning a menu number into the element that carries its command.
class MenuEntries {
public:
    virtual ~MenuEntries() = default;
    virtual GUIElement* at(int index) = 0;
    virtual int count() = 0;
};

}  // namespace tessella
