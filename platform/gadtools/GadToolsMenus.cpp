// Menu strips built from a NewMenu table, laid out for a screen's font.
#include <algorithm>
#include <cstring>
#include <string>

#include "GTGadget.h"
#include "platform/graphics/GadgetLook.h"

namespace look = tessella::graphics::look;

using namespace tessella::gadtools;

namespace {

// The user data sits right after the structure, where GTMENU_USERDATA looks for it.
struct GTMenu {
    Menu menu{};
    APTR userData = nullptr;
    std::string label;
};

struct GTMenuItem {
    MenuItem item{};
    APTR userData = nullptr;
    IntuiText text{};
    Image bar{};
    std::string label;
};

constexpr int kMostMenus = 31;
constexpr int kMostItems = 63;
constexpr int kMostSubs = 31;
constexpr int kCheckWidth = 14;
constexpr int kAmigaKeyWidth = 12;
constexpr int kSubArrowWidth = 12;
constexpr int kBarLabelHeight = 6;

GTMenuItem* NewItem(const NewMenu& nm, UBYTE frontPen) {
    auto* it = new GTMenuItem;
    MenuItem& item = it->item;
    const bool bar = nm.nm_Label == NM_BARLABEL;
    item.Flags = static_cast<UWORD>(HIGHCOMP | (nm.nm_Flags & (CHECKIT | CHECKED | MENUTOGGLE)));
    // NM_ITEMDISABLED shares its bit with ITEMENABLED: in the table it means the opposite.
    if (!bar && (nm.nm_Flags & NM_ITEMDISABLED) == 0) {
        item.Flags |= ITEMENABLED;
    }
    item.MutualExclude = nm.nm_MutualExclude;
    item.NextSelect = MENUNULL;
    it->userData = nm.nm_UserData;
    if (bar) {
        it->bar.Height = 2;
        it->bar.Depth = 0;
        item.ItemFill = &it->bar;
    } else {
        item.Flags |= ITEMTEXT;
        it->label = nm.nm_Label != nullptr ? nm.nm_Label : "";
        it->text.FrontPen = frontPen;
        it->text.DrawMode = JAM1;
        it->text.IText = it->label.data();
        item.ItemFill = &it->text;
    }
    if (!bar && nm.nm_CommKey != nullptr && nm.nm_CommKey[0] != '\0') {
        item.Flags |= COMMSEQ;
        item.Command = static_cast<BYTE>(nm.nm_CommKey[0]);
    }
    return it;
}

void FreeItems(MenuItem* item) {
    while (item != nullptr) {
        MenuItem* next = item->NextItem;
        FreeItems(item->SubItem);
        delete reinterpret_cast<GTMenuItem*>(item);
        item = next;
    }
}

template <typename T>
void Append(T** head, T* node, T* T::*link) {
    while (*head != nullptr) {
        head = &((*head)->*link);
    }
    *head = node;
}

std::string Label(const MenuItem* item) {
    if ((item->Flags & ITEMTEXT) == 0 || item->ItemFill == nullptr) {
        return {};
    }
    const char* text = static_cast<const IntuiText*>(item->ItemFill)->IText;
    return text != nullptr ? text : "";
}

// Lays out one column of items (a menu's or an item's sub-items) from the given top.
void LayoutColumn(MenuItem* first, TextFont* font, int left, int top) {
    bool anyCheck = false;
    bool anyKey = false;
    bool anySub = false;
    int textWidth = 0;
    for (MenuItem* it = first; it != nullptr; it = it->NextItem) {
        anyCheck = anyCheck || (it->Flags & CHECKIT);
        anyKey = anyKey || (it->Flags & COMMSEQ);
        anySub = anySub || it->SubItem != nullptr;
        textWidth = std::max(textWidth, look::TextWidth(font, Label(it)));
    }
    const int checkWidth = anyCheck ? kCheckWidth : 0;
    // Room for the widest key a proportional font can show.
    const int keyWidth = anyKey ? kAmigaKeyWidth + look::TextWidth(font, "W") + 8 : 0;
    const int width = 4 + checkWidth + textWidth + 12 + keyWidth + (anySub ? kSubArrowWidth : 0);
    const int lineHeight = (font != nullptr ? font->tf_YSize : 8) + 2;
    int y = top;
    for (MenuItem* it = first; it != nullptr; it = it->NextItem) {
        it->LeftEdge = static_cast<WORD>(left);
        it->TopEdge = static_cast<WORD>(y);
        it->Width = static_cast<WORD>(width);
        it->Height = static_cast<WORD>((it->Flags & ITEMTEXT) ? lineHeight : kBarLabelHeight);
        if (it->Flags & ITEMTEXT) {
            auto* text = static_cast<IntuiText*>(it->ItemFill);
            text->LeftEdge = static_cast<WORD>(2 + checkWidth);
            text->TopEdge = 1;
        }
        y += it->Height;
        if (it->SubItem != nullptr) {
            // Sub-items open beside their item, overlapping it a little.
            LayoutColumn(it->SubItem, font, width - 8, 0);
        }
    }
}

// Builds a strip entry by entry. Past the most menus, items or sub-items a strip can hold, the
// rest of that level is left out and the strip counts as trimmed.
struct StripBuilder {
    UBYTE frontPen = 1;
    Menu* strip = nullptr;
    Menu* menu = nullptr;
    MenuItem* item = nullptr;
    int menus = 0;
    int items = 0;
    int subs = 0;
    bool trimmed = false;

    // False when the entry is invalid where it stands.
    bool Add(const NewMenu& nm) {
        if (nm.nm_Type & NM_IGNORE) {
            return true;
        }
        switch (nm.nm_Type) {
            case NM_TITLE:
                AddTitle(nm);
                return true;
            case NM_ITEM:
            case IM_ITEM:
                return AddItem(nm);
            case NM_SUB:
            case IM_SUB:
                return AddSub(nm);
            default:
                return false;
        }
    }

    void AddTitle(const NewMenu& nm) {
        if (++menus > kMostMenus) {
            trimmed = true;
            menu = nullptr;
            item = nullptr;
            return;
        }
        auto* m = new GTMenu;
        m->label = nm.nm_Label != nullptr && nm.nm_Label != NM_BARLABEL ? nm.nm_Label : "";
        m->menu.MenuName = m->label.c_str();
        m->menu.Flags = (nm.nm_Flags & NM_MENUDISABLED) ? 0 : MENUENABLED;
        m->userData = nm.nm_UserData;
        Append(&strip, &m->menu, &Menu::NextMenu);
        menu = &m->menu;
        item = nullptr;
        items = 0;
    }

    bool AddItem(const NewMenu& nm) {
        if (menus > kMostMenus) {
            return true;
        }
        if (menu == nullptr) {
            return false;
        }
        if (++items > kMostItems) {
            trimmed = true;
            item = nullptr;
            return true;
        }
        item = &NewItem(nm, frontPen)->item;
        Append(&menu->FirstItem, item, &MenuItem::NextItem);
        subs = 0;
        return true;
    }

    bool AddSub(const NewMenu& nm) {
        if (menus > kMostMenus || items > kMostItems) {
            return true;
        }
        if (item == nullptr) {
            return false;
        }
        if (++subs > kMostSubs) {
            trimmed = true;
            return true;
        }
        Append(&item->SubItem, &NewItem(nm, frontPen)->item, &MenuItem::NextItem);
        return true;
    }
};

}  // namespace

Menu* CreateMenusA(const NewMenu* newMenu, const TagItem* tagList) {
    auto* secondary = reinterpret_cast<ULONG*>(GetTagData(GTMN_SecondaryError, 0, tagList));
    auto fail = [&](Menu* strip, ULONG error) -> Menu* {
        FreeMenus(strip);
        if (secondary != nullptr) {
            *secondary = error;
        }
        return nullptr;
    };
    if (secondary != nullptr) {
        *secondary = 0;
    }
    if (newMenu == nullptr) {
        return fail(nullptr, GTMENU_INVALID);
    }
    StripBuilder builder;
    builder.frontPen = static_cast<UBYTE>(GetTagData(GTMN_FrontPen, 1, tagList));
    for (const NewMenu* nm = newMenu; nm->nm_Type != NM_END; ++nm) {
        if (!builder.Add(*nm)) {
            return fail(builder.strip, GTMENU_INVALID);
        }
    }
    if (builder.trimmed && secondary != nullptr) {
        *secondary = GTMENU_TRIMMED;
    }
    return builder.strip;
}

BOOL LayoutMenusA(Menu* firstMenu, APTR visualInfo, const TagItem* tagList) {
    VisualInfo* vi = VisualInfoOf(visualInfo);
    if (firstMenu == nullptr || vi == nullptr) {
        return FALSE;
    }
    TextFont* font = vi->font;
    TextFont* asked = nullptr;
    if (auto* attr = reinterpret_cast<TextAttr*>(GetTagData(GTMN_TextAttr, 0, tagList))) {
        asked = OpenFont(attr);
        font = asked != nullptr ? asked : font;
    }
    const int barHeight = vi->screen->BarHeight;
    int x = 4;
    for (Menu* m = firstMenu; m != nullptr; m = m->NextMenu) {
        m->LeftEdge = static_cast<WORD>(x);
        m->TopEdge = 0;
        m->Width = static_cast<WORD>(
            look::TextWidth(font, m->MenuName != nullptr ? m->MenuName : "") + 16);
        m->Height = static_cast<WORD>(barHeight);
        x += m->Width;
        LayoutColumn(m->FirstItem, font, 2, 2);
        // A box that would leave the screen on the right moves left to fit.
        if (m->FirstItem != nullptr) {
            const int right = m->LeftEdge + m->FirstItem->LeftEdge + m->FirstItem->Width + 2;
            const int overflow = right - vi->screen->Width;
            if (overflow > 0) {
                for (MenuItem* it = m->FirstItem; it != nullptr; it = it->NextItem) {
                    it->LeftEdge = static_cast<WORD>(it->LeftEdge - overflow);
                }
            }
        }
    }
    CloseFont(asked);
    return TRUE;
}

void FreeMenus(Menu* menu) {
    while (menu != nullptr) {
        Menu* next = menu->NextMenu;
        FreeItems(menu->FirstItem);
        delete reinterpret_cast<GTMenu*>(menu);
        menu = next;
    }
}
