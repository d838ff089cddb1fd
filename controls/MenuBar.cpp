#include "MenuBar.h"

#include <gadtools.h>
#include <intuition.h>

#include "runtime/Application.h"
#include "runtime/Form.h"
#include "util/StringUtils.h"

namespace tessella {

namespace {

// One line of the strip's description before it becomes a NewMenu.
struct Line {
    UBYTE type = NM_END;
    bool separator = false;
    UWORD flags = 0;
    size_t label = 0;  // index into the bar's labels
    size_t key = 0;    // index into the bar's labels; 0 for none
};

std::string WithoutAmpersands(const std::string& text) {
    return StringUtils::Replace(text, "&", "");
}

// The character after the first "&", when it is a plain 7-bit character.
std::string CommandKey(const std::string& text) {
    const size_t amp = text.find('&');
    if (amp == std::string::npos || amp + 1 >= text.size()) {
        return {};
    }
    const auto c = static_cast<unsigned char>(text[amp + 1]);
    return c != 0 && c < 128 ? std::string(1, static_cast<char>(c)) : std::string();
}

UWORD EntryFlags(SubMenu* entry) {
    UWORD flags = 0;
    if (entry->GetTypeCheck() != 0) {
        flags |= CHECKIT | MENUTOGGLE;
        // The stored state directly: IsChecked would rebuild the strip being built.
        if (entry->GetCheckMark() != 0) {
            flags |= CHECKED;
        }
    }
    if (!entry->GetEnabled()) {
        flags |= NM_ITEMDISABLED;
    }
    return flags;
}

}  // namespace

MenuBar::MenuBar(GUIElement* window) : Child(window) {
    className = "menubar";
    size = {0, 0};
}

MenuBar::~MenuBar() {
    if (Application::menuBar == this) {
        ReleaseStrip();
    }
}

void MenuBar::AddMenu(OrvMenu* menu) {
    if (menu == nullptr) {
        return;
    }
    menus.push_back(menu);
    if (loaded) {
        menu->Load();
    }
}

OrvMenu* MenuBar::at(int index) {
    return index >= 0 && index < count() ? menus[static_cast<size_t>(index)] : nullptr;
}

int MenuBar::count() {
    return static_cast<int>(menus.size());
}

Form* MenuBar::Window() const {
    return dynamic_cast<Form*>(GetFormParent());
}

void MenuBar::ReleaseStrip() {
    if (Application::menu == nullptr) {
        Application::menuBar = nullptr;
        return;
    }
    auto* owner = dynamic_cast<MenuBar*>(Application::menuBar);
    Form* window = owner != nullptr ? owner->Window() : nullptr;
    if (window != nullptr && window->GetHandle() != nullptr) {
        ClearMenuStrip(window->GetHandle());
    }
    FreeMenus(Application::menu);
    Application::menu = nullptr;
    Application::menuBar = nullptr;
}

namespace {

// The lines of the strip, each menu's title followed by its entries and their sub-entries, with
// their texts in `labels` (index 0 unused); loads each entry on the way. Sets `full` when there
// are more than the strip holds: those are left out.
std::vector<Line> Describe(const std::vector<OrvMenu*>& menus, std::vector<std::string>& labels,
                           bool& full) {
    std::vector<Line> lines;
    labels.assign(1, std::string());
    full = false;
    auto add = [&](Line line, std::string label, std::string key) {
        if (static_cast<int>(lines.size()) >= MenuBar::kMostEntries - 1) {
            full = true;
            return;
        }
        line.label = labels.size();
        labels.push_back(std::move(label));
        if (!key.empty()) {
            line.key = labels.size();
            labels.push_back(std::move(key));
        }
        lines.push_back(line);
    };
    auto addEntry = [&](SubMenu* entry, UBYTE type) {
        const std::string text = entry->GetTextW();
        if (text.empty()) {
            add(Line{type, true, 0, 0, 0}, {}, {});
            return;
        }
        add(Line{type, false, EntryFlags(entry), 0, 0}, WithoutAmpersands(text), CommandKey(text));
    };
    for (OrvMenu* menu : menus) {
        add(Line{NM_TITLE, false, 0, 0, 0}, WithoutAmpersands(menu->GetTextW()), {});
        for (int i = 0; menu->at(i) != nullptr; ++i) {
            SubMenu* entry = menu->at(i);
            addEntry(entry, NM_ITEM);
            for (int j = 0; entry->at(j) != nullptr; ++j) {
                addEntry(entry->at(j), NM_SUB);
                entry->at(j)->Load();
            }
            entry->Load();
        }
        menu->Load();
    }
    return lines;
}

// The NewMenu table of the lines, pointing into the labels, with its end marker.
std::vector<NewMenu> TableOf(const std::vector<Line>& lines,
                             const std::vector<std::string>& labels) {
    std::vector<NewMenu> table;
    table.reserve(lines.size() + 1);
    for (const Line& line : lines) {
        NewMenu nm{};
        nm.nm_Type = line.type;
        nm.nm_Label = line.separator ? NM_BARLABEL : labels[line.label].c_str();
        nm.nm_CommKey = line.key != 0 ? labels[line.key].c_str() : nullptr;
        nm.nm_Flags = line.flags;
        table.push_back(nm);
    }
    table.push_back(NewMenu{NM_END, nullptr, nullptr, 0, 0, nullptr});
    return table;
}

}  // namespace

void MenuBar::Load() {
    if (!loaded) {
        LoadElementBase();
    }
    ReleaseStrip();

    // Gather the description first: the NewMenu table points into the labels, which must not
    // move once it is made.
    bool full = false;
    const std::vector<Line> lines = Describe(menus, labels, full);
    if (full) {
        Application::Log(
            "MenuBar::Load: more entries than the menu strip holds; the last ones "
            "are left out");
    }
    std::vector<NewMenu> table = TableOf(lines, labels);

    Menu* strip = CreateMenus(table.data(), GTMN_FrontPen, 1);
    Form* window = Window();
    if (strip == nullptr || !LayoutMenusA(strip, GUIElement::GlobalVisualInfo, nullptr)) {
        // The window goes on without a menu; the next change to an entry tries again.
        Application::Log("MenuBar::Load: the menu strip could not be built");
        FreeMenus(strip);
        strip = nullptr;
    } else if (window != nullptr && window->GetHandle() != nullptr) {
        SetMenuStrip(window->GetHandle(), strip);
    }
    Application::menu = strip;
    loaded = true;
    visible = true;
    Application::menuBar = this;
}

}  // namespace tessella
