#include "ToolBarItem.h"

namespace tessella {

namespace {

Image* At(const std::vector<Image*>* list, int i) {
    if (list == nullptr || i < 0 || static_cast<size_t>(i) >= list->size()) {
        return nullptr;
    }
    return (*list)[static_cast<size_t>(i)];
}

}  // namespace

ToolBarItem::ToolBarItem(GUIElement* parent) : Child(parent) {
    className = "toolbaritem";
    isTabStop = 0;
}

void ToolBarItem::Load() {
    if (id == 0) {
        LoadElementBase();
    }
    loaded = true;
}

Image* ToolBarItem::GetImage() const {
    return At(images, imageIndex);
}

Image* ToolBarItem::GetImageDisabled() const {
    return At(imagesDisabled, imageIndex);
}

}  // namespace tessella
