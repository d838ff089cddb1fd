#pragma once

#include <exec.h>

#include <memory>
#include <string>
#include <vector>

#include "GadgetControl.h"
#include "runtime/CommandElement.h"

namespace tessella {

// A list of labelled items on the platform's list-view gadget; each item also carries a value.
// Picking a row runs the command.
class ListBox : public GadgetControl, public CommandElement {
public:
    explicit ListBox(GUIElement* parent);

    void AddItems(std::string label, std::string value);
    bool UpdateItem(int i, std::string label, std::string value);
    bool UpdateItem(int i, std::string label);
    // False, changing nothing, when there is no such item (-1 included).
    bool DeleteItems(int i);
    // The first item with that label.
    bool DeleteItems(const std::string& label);
    // Deletes from the last item to the first.
    void Clear();
    int ItemsCount() const { return static_cast<int>(labels.size()); }
    // An index outside the items gives the last item's; no items give "".
    std::string GetItemsLabel(int i) const;
    std::string GetItemsValue(int i) const;
    // The selected row; -1 when none is, or while the control is not shown.
    int SelectedIndex();
    // -1 selects nothing; false when the index is past the items or the control is not shown.
    bool SetSelectedIndex(int i);
    void ClearSelectedIndex() { SetSelectedIndex(-1); }
    void SetBorder(bool b) { border = b; }
    void SetWindosStyle() {}
    bool GetWindowsStyle() const { return windowsStyle; }
    // The node list handed to the gadget: one node per label, named by a copy of it.
    void PopolaLista();
    void ClearLista();

protected:
    Gadget* CreateOwnGadget(Gadget* last, NewGadget& ng) override;
    void OnReattach() override;
    void OnDetach() override;

private:
    struct LabelNode {
        Node node{};
        std::string name;
    };

    // The selection, of the gadget shown or of the one kept while hidden.
    int Selection();
    // Hands the gadget the new items with the selection they keep.
    void ItemsChanged(int selected);

    std::vector<std::string> labels;
    std::vector<std::string> values;
    List nodeList{};
    std::vector<std::unique_ptr<LabelNode>> nodes;
    bool border = true;
    bool windowsStyle = false;
    int keptIndex = -1;
};

}  // namespace tessella
