#pragma once

#include <gadtools.h>

#include <string>
#include <vector>

#include "runtime/Child.h"

namespace tessella {

class Form;

// A control that is one platform gadget. The gadget is made at the first load and chained into
// its window's gadget list; hiding unlinks it and keeps it, so that showing again re-attaches
// the same gadget with what the user left in it. A change the gadget cannot take as an attribute
// (size, place, caption, orientation, an option box's items) marks it stale: the next load makes
// it anew from the stored state.
class GadgetControl : public Child {
public:
    explicit GadgetControl(GUIElement* parent);
    ~GadgetControl() override;

    void Load() override;
    void Hide() override;
    void SetSize(int w, int h) override;
    void SetLocation(int x, int y) override;
    // Reached through a GUIElement* as well: the gadget is ghosted or made usable again.
    void SetEnabled(bool enable) override;
    // The keyboard given by Tab: the control takes the keys its window hands the focused
    // control and shows a dotted ring around itself until it leaves. A click gives no ring.
    void Focus() override;
    void OnLeave() override;

protected:
    // Creates the control's gadget after last; ng carries place, size, font, id and visual info.
    virtual Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) = 0;
    // A kept gadget is linked in again: write into it (WriteAttrs) what was stored meanwhile.
    virtual void OnReattach() {}
    // The gadget is about to leave the window: store what only it knows (a choice, a text), so
    // that a hidden control answers with it and a gadget made anew starts from it.
    virtual void OnDetach() {}
    // Whether a control the platform made no gadget for still counts as loaded.
    virtual bool LoadWithoutGadget() { return true; }

    // The creation call every control ends the same way: disabled when the control is.
    template <typename... Tags>
    Gadget* MakeGadget(ULONG kind, Gadget* last, const NewGadget& ng, Tags... tags) {
        return CreateGadget(kind, last, &ng, tags..., GA_Disabled, enabled ? FALSE : TRUE);
    }
    // Writes attributes into the shown gadget (redrawn at once); false when none is shown.
    template <typename... Tags>
    bool SetGadgetAttrs(Tags... tags) {
        if (!loaded || !GadgetAlive()) {
            return false;
        }
        GT_SetGadgetAttrs(gadget, GetWindow(), nullptr, tags...);
        return true;
    }
    // Writes attributes into the gadget, shown or kept while hidden (drawn when it is attached).
    template <typename... Tags>
    void WriteAttrs(Tags... tags) {
        if (!SetGadgetAttrs(tags...) && gadget != nullptr) {
            GT_SetGadgetAttrs(gadget, nullptr, nullptr, tags...);
        }
    }
    // Reads one attribute of the shown gadget; false when none is shown.
    bool GetGadgetAttr(Tag tag, IPTR& value);
    // Gives the shown gadget the keyboard, then the element's own focus.
    void FocusGadget();
    // Whether the control has the keyboard from Tab (and shows its ring): only then does it act
    // on keys.
    bool HasKeyFocus() const { return keyFocus && enabled; }

    Form* GetForm() const;
    Window* GetWindow() const;
    // Hides and shows a loaded control so that its gadget is made again; a control that is not
    // loaded only remembers that its gadget is out of date.
    void Rebuild();
    // Whether the gadget is still the one linked in the window: a window that closed freed it.
    bool GadgetAlive();
    // An item of a list-like control: an index outside the items gives the last one, no items "".
    static std::string ItemOf(const std::vector<std::string>& items, int i);

    // The gadget text handed to the platform, owned here so that it outlives any caption change.
    std::string gadgetLabel;

private:
    void DropGadget();
    void EraseArea();
    // The ring's dots are drawn over what lies there, which is kept and put back.
    void DrawRing();
    void EraseRing();
    // Gives up the keyboard, ring and all, when the control is hidden or disabled.
    void DropFocus();

    struct Dot {
        int x;
        int y;
        int pen;
    };

    bool attached = false;
    bool stale = false;
    bool keyFocus = false;
    std::vector<Dot> underRing;
};

}  // namespace tessella
