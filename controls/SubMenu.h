#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/Checkable.h"
#include "runtime/Child.h"
#include "runtime/CommandElement.h"
#include "runtime/MenuEntries.h"

namespace tessella {

// A menu entry: a command, a separator (empty text), or the head of a sub-menu of entries.
// Every change to a loaded entry rebuilds the window's whole menu strip.
class SubMenu : public Child, public CommandElement, public Checkable, public MenuEntries {
public:
    // A separator bar.
    explicit SubMenu(GUIElement* parent);
    // "&" in the text marks the next character as the entry's command key.
    SubMenu(GUIElement* parent, std::string caption);

    void Load() override;
    // A disabled entry shows ghosted and cannot be picked. The int overload keeps calls with
    // 0 and 1 unambiguous; the bool one keeps calls through a GUIElement* reaching the strip.
    void SetEnabled(bool on) override;
    void SetEnabled(int on);

    void AddMenu(SubMenu* entry);
    SubMenu* at(int index) override;
    int count() override;

    void SetTypeCheck(short v);
    short GetTypeCheck() const { return typeCheck; }
    void SetChecked(short v) override;
    short IsChecked();
    // The check state as stored, without the rebuild that IsChecked performs.
    short GetCheckMark() const { return checkMark; }
    void* GetParentHMENU() { return nullptr; }

private:
    void Rebuild();

    std::vector<SubMenu*> entries;
    int16_t typeCheck = 0;
    int16_t checkMark = 0;
};

}  // namespace tessella
