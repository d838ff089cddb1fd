// Menu strips of windows. The input task reads a strip while the menu button is held, so a
// strip changes only under the intuition lock, and clearing it takes the menu down.
#include "IntuitionState.h"
#include "MenuStrip.h"

using namespace tessella::intuition;

namespace {

void SetEnabled(Window* window, UWORD number, bool enabled) {
    if (window == nullptr) {
        return;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    Menu* m = menus::MenuAt(window->MenuStrip, MENUNUM(number));
    if (m == nullptr) {
        return;
    }
    if (ITEMNUM(number) == NOITEM) {
        m->Flags = enabled ? (m->Flags | MENUENABLED) : (m->Flags & ~MENUENABLED);
    } else if (MenuItem* it = ItemAddress(window->MenuStrip, number)) {
        it->Flags = enabled ? (it->Flags | ITEMENABLED) : (it->Flags & ~ITEMENABLED);
    }
    tessella::graphics::TouchDisplay();
}

}  // namespace

BOOL SetMenuStrip(Window* window, Menu* menu) {
    if (window == nullptr) {
        return FALSE;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    window->MenuStrip = menu;
    return TRUE;
}

BOOL ResetMenuStrip(Window* window, Menu* menu) {
    return SetMenuStrip(window, menu);
}

void ClearMenuStrip(Window* window) {
    if (window == nullptr) {
        return;
    }
    Intuition& in = Intuition::Get();
    std::lock_guard guard(in.lock);
    if (in.menus.window == window) {
        in.menus = MenuSession{};  // the strip goes away under the pointer: nothing is picked
        tessella::graphics::TouchDisplay();
    }
    window->MenuStrip = nullptr;
}

MenuItem* ItemAddress(Menu* menuStrip, UWORD menuNumber) {
    if (menuNumber == MENUNULL || ITEMNUM(menuNumber) == NOITEM) {
        return nullptr;
    }
    Menu* m = menus::MenuAt(menuStrip, MENUNUM(menuNumber));
    MenuItem* item = m != nullptr ? menus::ItemAt(m->FirstItem, ITEMNUM(menuNumber)) : nullptr;
    if (item == nullptr || SUBNUM(menuNumber) == NOSUB) {
        return item;
    }
    return menus::ItemAt(item->SubItem, SUBNUM(menuNumber));
}

void OnMenu(Window* window, UWORD menuNumber) {
    SetEnabled(window, menuNumber, true);
}

void OffMenu(Window* window, UWORD menuNumber) {
    SetEnabled(window, menuNumber, false);
}
