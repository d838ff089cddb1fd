#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "GadgetControl.h"
#include "runtime/CommandElement.h"

namespace tessella {

// A choice among labelled items on the platform's cycle gadget; each item also carries a value.
// A pick runs the command.
class ComboBox : public GadgetControl, public CommandElement {
public:
    explicit ComboBox(GUIElement* parent);

    void AddItems(std::string label, std::string value);
    int ItemsCount() const { return static_cast<int>(labels.size()); }
    // An index outside the items gives the last item's; no items give "".
    std::string GetItemsLabel(int i) const;
    std::string GetItemsValue(int i) const;
    std::string GetItemsLabelW(int i) const { return GetItemsLabel(i); }
    std::string GetItemsValueW(int i) const { return GetItemsValue(i); }
    // False, changing nothing, when there is no such item.
    bool DeleteItems(int i);
    // The first item with that label.
    bool DeleteItems(const std::string& label);
    void Clear();
    // The gadget's choice; -1 while the control is not shown.
    int SelectedIndex();
    // A negative index selects the first item; false when the index is past the items or the
    // control is not shown (a choice made before loading is lost).
    bool SetSelectedIndex(int i);
    void ClearSelectedIndex() { SetSelectedIndex(-1); }
    void SetDropDownList(short v) { dropDownList = v; }
    bool OnShowDropDown() { return true; }
    void OnHideDropDown() {}
    void HideDropDown() {}

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override;
    void OnDetach() override;
    // The choice of the gadget shown, or of the one kept while hidden.
    int Selection();
    // The items changed: hand the gadget the new labels with the choice they keep.
    virtual void ItemsChanged(int selected);
    virtual Tag ActiveTag() const { return GTCY_Active; }
    // The copies handed to the gadget, rebuilt at every change.
    const char* const* BuildLabelArray();
    // Where a gadget made now starts: the choice the last one had when it was hidden.
    LONG StartIndex() const;

    std::vector<std::string> labels;
    std::vector<std::string> values;
    std::vector<std::string> handedLabels;
    std::vector<const char*> labelArray;
    int16_t dropDownList = 0;
    // The choice a hidden gadget had, and where a gadget made now starts.
    int keptIndex = 0;
};

}  // namespace tessella
