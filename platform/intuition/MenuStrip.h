#pragma once
// The menu strip while the menu button is held: where its titles, items and sub-items are on
// the screen, which of them the pointer is over, what a pick does, and how it looks. The
// caller holds the intuition lock throughout.

#include "IntuitionState.h"
#include "platform/graphics/Canvas.h"

namespace tessella::intuition::menus {

struct Box {
    int x0 = 0;
    int y0 = 0;
    int x1 = -1;  // inclusive
    int y1 = -1;
    bool Contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

Menu* MenuAt(Menu* strip, int index);
MenuItem* ItemAt(MenuItem* first, int index);

// Starts showing the window's strip with the pointer where it is.
void Open(MenuSession& session, WindowImpl* window, int x, int y);
// Follows the pointer over titles, items and sub-items.
void Hover(MenuSession& session, int x, int y);
// Picks what the pointer is over, when it can be picked: a checkable item changes its check
// mark first. Returns false when there is nothing to pick there.
bool Pick(MenuSession& session);
// Chains the picks through NextSelect and returns the first number (MENUNULL for none).
UWORD Finish(MenuSession& session);

// The strip, the open menu and the open sub-menu, over everything else on the screen.
void Draw(const graphics::Canvas& out, const ScreenImpl& screen, const MenuSession& session);

// The number of the enabled item whose command key is key (compared without case), or
// MENUNULL; the item's check mark changes as a pick changes it.
UWORD CommandKey(Menu* strip, char key);

}  // namespace tessella::intuition::menus
