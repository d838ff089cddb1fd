#pragma once

#include <string>
#include <vector>

#include "OrvMenu.h"
#include "runtime/Child.h"
#include "runtime/MenuEntries.h"

namespace tessella {

class Form;

// The window's menu strip, described by a tree of menus and entries and built from it with
// GadTools. Only one strip exists at a time (Application::menu, built by Application::menuBar).
class MenuBar : public Child, public MenuEntries {
public:
    explicit MenuBar(GUIElement* window);
    // A bar that goes while its strip is still attached takes the strip with it, so that the
    // loop never reaches a freed bar through Application::menuBar.
    ~MenuBar() override;

    // The bar lives in the screen's title bar, not in the window: a click in the window never
    // lands on it, whatever its stored place and empty size say.
    bool Hit(tagPOINT /*p*/) override { return false; }

    void AddMenu(OrvMenu* menu);
    OrvMenu* at(int index) override;
    int count() override;
    // Builds the strip from the tree and attaches it to the window; called again to rebuild.
    void Load() override;

    // The description holds this many entries, the end marker included.
    static constexpr int kMostEntries = 100;

private:
    static void ReleaseStrip();
    Form* Window() const;

    std::vector<OrvMenu*> menus;
    // Labels and command keys of the strip last built; the strip may point into them.
    std::vector<std::string> labels;
};

}  // namespace tessella
