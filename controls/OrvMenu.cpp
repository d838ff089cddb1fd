#include "OrvMenu.h"

#include "MenuBar.h"
#include "runtime/Application.h"

namespace tessella {

OrvMenu::OrvMenu(MenuBar* bar, std::string caption) : Child(bar) {
    className = "menu";
    size = {0, 0};
    // Menus take their id at once: the loop finds them by position, never by loading.
    id = ++GUIElement::countForm;
    handle = static_cast<unsigned long>(id);
    text = std::move(caption);
    if (bar != nullptr) {
        bar->AddMenu(this);
    }
}

void OrvMenu::Load() {
    if (!loaded) {
        loaded = true;
        visible = true;
    }
}

void OrvMenu::AddMenu(SubMenu* entry) {
    if (entry == nullptr) {
        return;
    }
    entries.push_back(entry);
    if (loaded && Application::menuBar != nullptr) {
        Application::menuBar->Load();
    }
}

SubMenu* OrvMenu::at(int index) {
    return index >= 0 && index < count() ? entries[static_cast<size_t>(index)] : nullptr;
}

int OrvMenu::count() {
    return static_cast<int>(entries.size());
}

}  // namespace tessella
