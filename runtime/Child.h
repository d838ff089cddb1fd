#pragma once

#include "GUIElement.h"

namespace tessella {

// An element that lives inside a window, or inside a panel, tool bar or menu of one.
class Child : public GUIElement {
public:
    explicit Child(GUIElement* parent, unsigned long instance = 0);
    ~Child() override;

    GUIElement* GetParent() const { return parent; }
    // The window this element lies in, through any panels on the way.
    GUIElement* GetFormParent() const;
    // A point relative to this element's container, in its window's coordinates.
    tagPOINT GetPositionFromParent(int x, int y) const;

protected:
    GUIElement* parent = nullptr;
};

}  // namespace tessella
