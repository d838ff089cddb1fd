#pragma once

#include <string>
#include <vector>

#include "SubMenu.h"
#include "runtime/Child.h"
#include "runtime/MenuEntries.h"

namespace tessella {

class MenuBar;

// A menu title of the bar, holding its entries in the order they were added.
class OrvMenu : public Child, public MenuEntries {
public:
    // Adds itself to the bar when there is one. "&" marks are dropped from the title.
    OrvMenu(MenuBar* bar, std::string caption);

    void Load() override;
    void AddMenu(SubMenu* entry);
    SubMenu* at(int index) override;
    int count() override;

private:
    std::vector<SubMenu*> entries;
};

}  // namespace tessella
