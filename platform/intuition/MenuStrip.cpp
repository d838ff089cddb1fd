#include "MenuStrip.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace tessella::intuition::menus {
namespace {

using graphics::Canvas;

// The strip is dark text on the light pen, like the screen's own bar in reverse; the item
// under the pointer is filled.
constexpr UBYTE kBlockPen = 2;
constexpr UBYTE kDetailPen = 1;
constexpr UBYTE kHighlightPen = 3;
constexpr UBYTE kHighlightTextPen = 2;
// Room the layout leaves for a sub-menu's arrow at the right of its item.
constexpr int kSubArrowWidth = 12;

int BarHeight(const ScreenImpl& s) {
    return s.BarHeight;
}

struct Placed {
    int x = 0;  // screen position of the item's top-left corner
    int y = 0;
};

Placed ItemPlace(const ScreenImpl& s, const Menu* m, const MenuItem* it) {
    return {m->LeftEdge + it->LeftEdge, BarHeight(s) + it->TopEdge};
}

Box ColumnBox(MenuItem* first, Placed origin) {
    Box b{1 << 30, 1 << 30, -(1 << 30), -(1 << 30)};
    for (MenuItem* it = first; it != nullptr; it = it->NextItem) {
        const int x = origin.x + it->LeftEdge;
        const int y = origin.y + it->TopEdge;
        b.x0 = std::min(b.x0, x - 2);
        b.y0 = std::min(b.y0, y - 2);
        b.x1 = std::max(b.x1, x + it->Width - 1 + 2);
        b.y1 = std::max(b.y1, y + it->Height - 1 + 2);
    }
    return first != nullptr ? b : Box{};
}

Box SubsBox(const ScreenImpl& s, const Menu* m, const MenuItem* item) {
    return ColumnBox(item->SubItem, ItemPlace(s, m, item));
}

// The index of the item of a column under the pointer, or -1.
int RowAt(MenuItem* first, Placed origin, int x, int y) {
    int index = 0;
    for (MenuItem* it = first; it != nullptr; it = it->NextItem, ++index) {
        const Box b{origin.x + it->LeftEdge, origin.y + it->TopEdge,
                    origin.x + it->LeftEdge + it->Width - 1,
                    origin.y + it->TopEdge + it->Height - 1};
        if (b.Contains(x, y)) {
            return index;
        }
    }
    return -1;
}

bool Selectable(const MenuItem* it) {
    return it != nullptr && (it->Flags & ITEMTEXT) && (it->Flags & ITEMENABLED);
}

// A checkable item: a toggle flips its mark, others set it; items it excludes lose theirs.
void Check(MenuItem* column, MenuItem* picked) {
    if ((picked->Flags & CHECKIT) == 0) {
        return;
    }
    if ((picked->Flags & MENUTOGGLE) && (picked->Flags & CHECKED)) {
        picked->Flags &= ~CHECKED;
    } else {
        picked->Flags |= CHECKED;
    }
    int index = 0;
    for (MenuItem* it = column; it != nullptr; it = it->NextItem, ++index) {
        if (it != picked && index < 32 && (picked->MutualExclude & (1L << index)) &&
            (picked->Flags & CHECKED)) {
            it->Flags &= ~CHECKED;
        }
    }
}

void Frame(const Canvas& c, const Box& b, UBYTE fill, UBYTE edge) {
    c.Fill(b.x0, b.y0, b.x1, b.y1, fill, false);
    c.Fill(b.x0, b.y0, b.x1, b.y0, edge, false);
    c.Fill(b.x0, b.y1, b.x1, b.y1, edge, false);
    c.Fill(b.x0, b.y0, b.x0, b.y1, edge, false);
    c.Fill(b.x1, b.y0, b.x1, b.y1, edge, false);
}

// Every other dot in the fill pen, so disabled text reads as dimmed.
void Ghost(const Canvas& c, const Box& b, UBYTE pen) {
    for (int y = b.y0; y <= b.y1; ++y) {
        for (int x = b.x0 + (y & 1); x <= b.x1; x += 2) {
            c.Plot(x, y, pen, false);
        }
    }
}

void Text(const Canvas& c, const TextFont* font, int x, int top, const char* text, UBYTE pen) {
    if (font == nullptr || text == nullptr) {
        return;
    }
    graphics::DrawText(c, font, x, top + font->tf_Baseline, reinterpret_cast<const UBYTE*>(text),
                       std::strlen(text), pen, 0, JAM1);
}

void Tick(const Canvas& c, int x, int y, int h, UBYTE pen) {
    const int mid = y + h / 2;
    for (int d = 0; d < 2; ++d) {
        for (int i = 0; i <= 3; ++i) {
            c.Plot(x + 2 + i + d, mid + i - 1, pen, false);
        }
        for (int i = 0; i <= 6; ++i) {
            c.Plot(x + 5 + i + d, mid + 2 - i, pen, false);
        }
    }
}

void DrawColumn(const Canvas& c, const ScreenImpl& s, MenuItem* first, Placed origin, int hovered,
                bool menuEnabled) {
    const Box box = ColumnBox(first, origin);
    Frame(c, box, kBlockPen, kDetailPen);
    const TextFont* font = s.font;
    // Command keys share one column, left-aligned after their sign, clear of the sub-menu
    // arrows: a proportional font's narrow and wide letters must not shift the signs.
    bool anySub = false;
    for (const MenuItem* it = first; it != nullptr; it = it->NextItem) {
        anySub = anySub || it->SubItem != nullptr;
    }
    const int widestKey =
        font != nullptr ? graphics::MeasureText(font, reinterpret_cast<const UBYTE*>("W"), 1) : 0;
    const int keyRoom = 4 + widestKey + (anySub ? kSubArrowWidth : 0);
    int index = 0;
    for (MenuItem* it = first; it != nullptr; it = it->NextItem, ++index) {
        const int x = origin.x + it->LeftEdge;
        const int y = origin.y + it->TopEdge;
        const Box row{x, y, x + it->Width - 1, y + it->Height - 1};
        if ((it->Flags & ITEMTEXT) == 0) {
            const int mid = y + it->Height / 2 - 1;
            c.Fill(x + 2, mid, row.x1 - 2, mid, kDetailPen, false);
            continue;
        }
        const bool enabled = menuEnabled && (it->Flags & ITEMENABLED);
        const bool lit = index == hovered && enabled;
        const auto* text = static_cast<const IntuiText*>(it->ItemFill);
        const UBYTE pen = lit ? kHighlightTextPen : (text != nullptr ? text->FrontPen : kDetailPen);
        if (lit) {
            c.Fill(row.x0, row.y0, row.x1, row.y1, kHighlightPen, false);
        }
        if ((it->Flags & CHECKIT) && (it->Flags & CHECKED)) {
            Tick(c, x, y, it->Height, pen);
        }
        if (text != nullptr) {
            Text(c, font, x + text->LeftEdge, y + text->TopEdge, text->IText, pen);
        }
        if ((it->Flags & COMMSEQ) && font != nullptr) {
            // The Amiga key's sign, a small framed box, then the key.
            const char key[2] = {static_cast<char>(it->Command), '\0'};
            const int keyX = row.x1 - keyRoom;
            const int signX = keyX - 12;
            const int signY = y + (it->Height - 8) / 2;
            c.Fill(signX, signY, signX + 8, signY, pen, false);
            c.Fill(signX, signY + 7, signX + 8, signY + 7, pen, false);
            c.Fill(signX, signY, signX, signY + 7, pen, false);
            c.Fill(signX + 8, signY, signX + 8, signY + 7, pen, false);
            c.Fill(signX + 3, signY + 3, signX + 5, signY + 4, pen, false);
            Text(c, font, keyX, y + 1, key, pen);
        }
        if (it->SubItem != nullptr) {
            Text(c, font, row.x1 - 10, y + 1, "\xBB", pen);
        }
        if (!enabled) {
            Ghost(c, row, kBlockPen);
        }
    }
}

}  // namespace

Menu* MenuAt(Menu* strip, int index) {
    for (int i = 0; strip != nullptr && i < index; ++i) {
        strip = strip->NextMenu;
    }
    return index >= 0 ? strip : nullptr;
}

MenuItem* ItemAt(MenuItem* first, int index) {
    for (int i = 0; first != nullptr && i < index; ++i) {
        first = first->NextItem;
    }
    return index >= 0 ? first : nullptr;
}

void Open(MenuSession& session, WindowImpl* window, int x, int y) {
    session = MenuSession{};
    session.window = window;
    Hover(session, x, y);
}

void Hover(MenuSession& session, int x, int y) {
    WindowImpl* w = session.window;
    if (w == nullptr || w->MenuStrip == nullptr) {
        return;
    }
    const ScreenImpl& s = *w->screen;
    if (y < BarHeight(s)) {
        int index = 0;
        for (Menu* m = w->MenuStrip; m != nullptr; m = m->NextMenu, ++index) {
            if (x >= m->LeftEdge && x < m->LeftEdge + m->Width) {
                session.menu = index;
                break;
            }
        }
        session.item = -1;
        session.sub = -1;
        return;
    }
    Menu* m = MenuAt(w->MenuStrip, session.menu);
    if (m == nullptr) {
        return;
    }
    MenuItem* item = ItemAt(m->FirstItem, session.item);
    if (item != nullptr && item->SubItem != nullptr && SubsBox(s, m, item).Contains(x, y)) {
        session.sub = RowAt(item->SubItem, ItemPlace(s, m, item), x, y);
        return;
    }
    session.item = RowAt(m->FirstItem, {m->LeftEdge, BarHeight(s)}, x, y);
    session.sub = -1;
}

bool Pick(MenuSession& session) {
    WindowImpl* w = session.window;
    Menu* m = w != nullptr ? MenuAt(w->MenuStrip, session.menu) : nullptr;
    MenuItem* item = m != nullptr ? ItemAt(m->FirstItem, session.item) : nullptr;
    if (item == nullptr || (m->Flags & MENUENABLED) == 0 || !Selectable(item)) {
        return false;
    }
    MenuItem* column = m->FirstItem;
    MenuItem* target = item;
    int sub = NOSUB;
    if (item->SubItem != nullptr) {
        target = ItemAt(item->SubItem, session.sub);
        if (!Selectable(target)) {
            return false;
        }
        column = item->SubItem;
        sub = session.sub;
    }
    const auto number = static_cast<UWORD>(FULLMENUNUM(session.menu, session.item, sub));
    if (std::find(session.picks.begin(), session.picks.end(), number) != session.picks.end()) {
        return false;
    }
    Check(column, target);
    session.picks.push_back(number);
    return true;
}

UWORD Finish(MenuSession& session) {
    WindowImpl* w = session.window;
    const std::vector<UWORD> picks = session.picks;
    if (w != nullptr) {
        for (size_t i = 0; i < picks.size(); ++i) {
            if (MenuItem* it = ItemAddress(w->MenuStrip, picks[i])) {
                it->NextSelect = i + 1 < picks.size() ? picks[i + 1] : MENUNULL;
            }
        }
    }
    session = MenuSession{};
    return picks.empty() ? MENUNULL : picks.front();
}

UWORD CommandKey(Menu* strip, char key) {
    const int wanted = std::tolower(static_cast<unsigned char>(key));
    int menuIndex = 0;
    for (Menu* m = strip; m != nullptr; m = m->NextMenu, ++menuIndex) {
        if ((m->Flags & MENUENABLED) == 0) {
            continue;
        }
        int itemIndex = 0;
        for (MenuItem* it = m->FirstItem; it != nullptr; it = it->NextItem, ++itemIndex) {
            const auto matches = [&](const MenuItem* x) {
                return Selectable(x) && (x->Flags & COMMSEQ) &&
                       std::tolower(static_cast<unsigned char>(x->Command)) == wanted;
            };
            if (matches(it) && it->SubItem == nullptr) {
                Check(m->FirstItem, it);
                it->NextSelect = MENUNULL;
                return static_cast<UWORD>(FULLMENUNUM(menuIndex, itemIndex, NOSUB));
            }
            if (!Selectable(it)) {
                continue;
            }
            int subIndex = 0;
            for (MenuItem* sub = it->SubItem; sub != nullptr; sub = sub->NextItem, ++subIndex) {
                if (matches(sub)) {
                    Check(it->SubItem, sub);
                    sub->NextSelect = MENUNULL;
                    return static_cast<UWORD>(FULLMENUNUM(menuIndex, itemIndex, subIndex));
                }
            }
        }
    }
    return MENUNULL;
}

void Draw(const Canvas& out, const ScreenImpl& s, const MenuSession& session) {
    WindowImpl* w = session.window;
    if (w == nullptr || w->MenuStrip == nullptr) {
        return;
    }
    const int bar = BarHeight(s);
    out.Fill(0, 0, out.width - 1, bar - 2, kBlockPen, false);
    out.Fill(0, bar - 1, out.width - 1, bar - 1, kDetailPen, false);
    int index = 0;
    for (Menu* m = w->MenuStrip; m != nullptr; m = m->NextMenu, ++index) {
        const bool open = index == session.menu;
        if (open) {
            out.Fill(m->LeftEdge, 0, m->LeftEdge + m->Width - 1, bar - 2, kHighlightPen, false);
        }
        Text(out, s.font, m->LeftEdge + 8, 1, m->MenuName, open ? kHighlightTextPen : kDetailPen);
        if ((m->Flags & MENUENABLED) == 0) {
            Ghost(out, Box{m->LeftEdge, 0, m->LeftEdge + m->Width - 1, bar - 2}, kBlockPen);
        }
    }
    Menu* m = MenuAt(w->MenuStrip, session.menu);
    if (m == nullptr || m->FirstItem == nullptr) {
        return;
    }
    const bool enabled = m->Flags & MENUENABLED;
    DrawColumn(out, s, m->FirstItem, {m->LeftEdge, bar}, session.item, enabled);
    MenuItem* item = ItemAt(m->FirstItem, session.item);
    if (item != nullptr && item->SubItem != nullptr && Selectable(item)) {
        DrawColumn(out, s, item->SubItem, ItemPlace(s, m, item), session.sub, enabled);
    }
}

}  // namespace tessella::intuition::menus
