#include "ComboBox.h"

#include <algorithm>

namespace tessella {

ComboBox::ComboBox(GUIElement* parent) : GadgetControl(parent) {
    className = "combobox";
    size = {80, 130};
}

void ComboBox::AddItems(std::string label, std::string value) {
    const int selected = Selection();
    labels.push_back(std::move(label));
    values.push_back(std::move(value));
    ItemsChanged(selected);
}

std::string ComboBox::GetItemsLabel(int i) const {
    return ItemOf(labels, i);
}

std::string ComboBox::GetItemsValue(int i) const {
    return ItemOf(values, i);
}

bool ComboBox::DeleteItems(int i) {
    if (i < 0 || i >= ItemsCount()) {
        return false;
    }
    // The choice stays on its item, or on the first one when its own went.
    int selected = Selection();
    selected = selected == i ? 0 : (selected > i ? selected - 1 : selected);
    labels.erase(labels.begin() + i);
    values.erase(values.begin() + i);
    ItemsChanged(selected);
    return true;
}

bool ComboBox::DeleteItems(const std::string& label) {
    const auto it = std::find(labels.begin(), labels.end(), label);
    return it != labels.end() && DeleteItems(static_cast<int>(it - labels.begin()));
}

void ComboBox::Clear() {
    labels.clear();
    values.clear();
    ItemsChanged(0);
}

int ComboBox::SelectedIndex() {
    IPTR value = 0;
    return GetGadgetAttr(ActiveTag(), value) ? static_cast<int>(value) : -1;
}

bool ComboBox::SetSelectedIndex(int i) {
    i = std::max(i, 0);
    if (i >= ItemsCount()) {
        return false;
    }
    return SetGadgetAttrs(ActiveTag(), i);
}

const char* const* ComboBox::BuildLabelArray() {
    handedLabels = labels;
    labelArray.clear();
    for (const std::string& l : handedLabels) {
        labelArray.push_back(l.c_str());
    }
    labelArray.push_back(nullptr);
    return labelArray.data();
}

LONG ComboBox::StartIndex() const {
    return std::clamp(keptIndex, 0, std::max(ItemsCount() - 1, 0));
}

int ComboBox::Selection() {
    return loaded ? std::max(SelectedIndex(), 0) : keptIndex;
}

void ComboBox::ItemsChanged(int selected) {
    keptIndex = selected;
    if (loaded) {
        // The gadget lets go of the old copies before they are replaced.
        SetGadgetAttrs(GTCY_Labels, nullptr);
        SetGadgetAttrs(GTCY_Labels, BuildLabelArray(), GTCY_Active, StartIndex());
    }
}

Gadget* ComboBox::CreateOwnGadget(Gadget* last, NewGadget& ng) {
    ng.ng_Flags = PLACETEXT_IN;
    return MakeGadget(CYCLE_KIND, last, ng, GTCY_Labels, BuildLabelArray(), GTCY_Active,
                      StartIndex());
}

// Items changed while the box was hidden reach the gadget it gets back.
void ComboBox::OnReattach() {
    WriteAttrs(GTCY_Labels, nullptr);
    WriteAttrs(GTCY_Labels, BuildLabelArray(), GTCY_Active, StartIndex());
}

void ComboBox::OnDetach() {
    keptIndex = std::max(SelectedIndex(), 0);
}

}  // namespace tessella
