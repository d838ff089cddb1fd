#include "SubMenu.h"

#include "OrvMenu.h"
#include "runtime/Application.h"

namespace tessella {

SubMenu::SubMenu(GUIElement* parent) : SubMenu(parent, std::string()) {}

SubMenu::SubMenu(GUIElement* parent, std::string caption) : Child(parent) {
    className = "submenu";
    size = {0, 0};
    id = ++GUIElement::countForm;
    handle = static_cast<unsigned long>(id);
    text = std::move(caption);
    if (auto* menu = dynamic_cast<OrvMenu*>(parent); menu != nullptr) {
        menu->AddMenu(this);
    } else if (auto* entry = dynamic_cast<SubMenu*>(parent); entry != nullptr) {
        entry->AddMenu(this);
    }
}

void SubMenu::Load() {
    if (!loaded) {
        loaded = true;
        visible = true;
    }
}

void SubMenu::Rebuild() {
    if (loaded && Application::menuBar != nullptr) {
        Application::menuBar->Load();
    }
}

void SubMenu::SetEnabled(bool on) {
    enabled = on;
    Rebuild();
}

void SubMenu::SetEnabled(int on) {
    SetEnabled(on != 0);
}

void SubMenu::AddMenu(SubMenu* entry) {
    if (entry == nullptr) {
        return;
    }
    entries.push_back(entry);
    Rebuild();
}

SubMenu* SubMenu::at(int index) {
    return index >= 0 && index < count() ? entries[static_cast<size_t>(index)] : nullptr;
}

int SubMenu::count() {
    return static_cast<int>(entries.size());
}

void SubMenu::SetTypeCheck(short v) {
    typeCheck = v;
    Rebuild();
}

void SubMenu::SetChecked(short v) {
    checkMark = v;
    Rebuild();
}

short SubMenu::IsChecked() {
    Rebuild();
    return checkMark;
}

}  // namespace tessella
