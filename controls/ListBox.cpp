#include "ListBox.h"

#include <algorithm>

namespace tessella {

namespace {

// The list view's value for a detached list.
constexpr IPTR kDetached = ~IPTR{0};

}  // namespace

ListBox::ListBox(GUIElement* parent) : GadgetControl(parent) {
    className = "listbox";
    size = {130, 130};
    NewList(&nodeList);
}

void ListBox::AddItems(std::string label, std::string value) {
    const int selected = Selection();
    labels.push_back(std::move(label));
    values.push_back(std::move(value));
    ItemsChanged(selected);
}

bool ListBox::UpdateItem(int i, std::string label, std::string value) {
    if (i < 0 || i >= ItemsCount()) {
        return false;
    }
    values[static_cast<size_t>(i)] = std::move(value);
    return UpdateItem(i, std::move(label));
}

bool ListBox::UpdateItem(int i, std::string label) {
    if (i < 0 || i >= ItemsCount()) {
        return false;
    }
    const int selected = Selection();
    labels[static_cast<size_t>(i)] = std::move(label);
    ItemsChanged(selected);
    return true;
}

bool ListBox::DeleteItems(int i) {
    if (i < 0 || i >= ItemsCount()) {
        return false;
    }
    // The selection stays on its item: gone with it, or one up when an item above went.
    int selected = Selection();
    selected = selected == i ? -1 : (selected > i ? selected - 1 : selected);
    labels.erase(labels.begin() + i);
    values.erase(values.begin() + i);
    ItemsChanged(selected);
    return true;
}

bool ListBox::DeleteItems(const std::string& label) {
    const auto it = std::find(labels.begin(), labels.end(), label);
    return it != labels.end() && DeleteItems(static_cast<int>(it - labels.begin()));
}

void ListBox::Clear() {
    for (int i = ItemsCount() - 1; i >= 0; --i) {
        DeleteItems(i);
    }
}

std::string ListBox::GetItemsLabel(int i) const {
    return ItemOf(labels, i);
}

std::string ListBox::GetItemsValue(int i) const {
    return ItemOf(values, i);
}

int ListBox::SelectedIndex() {
    IPTR value = 0;
    if (!GetGadgetAttr(GTLV_Selected, value)) {
        return -1;
    }
    return static_cast<int>(static_cast<SIPTR>(value));
}

bool ListBox::SetSelectedIndex(int i) {
    if (i < -1 || i >= ItemsCount()) {
        return false;
    }
    return SetGadgetAttrs(GTLV_Selected, i);
}

void ListBox::PopolaLista() {
    for (const std::string& label : labels) {
        auto n = std::make_unique<LabelNode>();
        n->name = label;
        n->node.ln_Name = n->name.data();
        AddTail(&nodeList, &n->node);
        nodes.push_back(std::move(n));
    }
}

void ListBox::ClearLista() {
    NewList(&nodeList);
    nodes.clear();
}

int ListBox::Selection() {
    return loaded ? SelectedIndex() : keptIndex;
}

void ListBox::ItemsChanged(int selected) {
    if (!loaded) {
        keptIndex = selected;  // for the gadget this list gets back
        return;
    }
    SetGadgetAttrs(GTLV_Labels, kDetached);
    ClearLista();
    PopolaLista();
    SetGadgetAttrs(GTLV_Labels, &nodeList, GTLV_Selected, selected);
}

Gadget* ListBox::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    ClearLista();
    PopolaLista();
    ng.ng_Flags = PLACETEXT_ABOVE;
    return MakeGadget(LISTVIEW_KIND, last, ng, GTLV_Labels, &nodeList, GTLV_ShowSelected, nullptr,
                      GTLV_Selected, std::min(keptIndex, ItemsCount() - 1));
}

// Items changed while the list was hidden reach the gadget it gets back.
void ListBox::OnReattach() {
    WriteAttrs(GTLV_Labels, kDetached);
    ClearLista();
    PopolaLista();
    WriteAttrs(GTLV_Labels, &nodeList, GTLV_Selected, std::min(keptIndex, ItemsCount() - 1));
}

void ListBox::OnDetach() {
    keptIndex = SelectedIndex();
}

}  // namespace tessella
