#pragma once

#include <cstdint>
#include <vector>

#include "runtime/Child.h"
#include "runtime/CommandElement.h"

struct Image;

namespace tessella {

// One entry of a tool bar: a button (its caption is the item's text, its enabled state the
// item's) or a separator, with the images the button shows. The command runs when the tool
// bar's button for this item is pressed.
class ToolBarItem : public Child, public CommandElement {
public:
    explicit ToolBarItem(GUIElement* parent);

    void Load() override;

    bool IsSeparator() const { return type != 0; }
    uint8_t GetType() const { return type; }
    void SetType(uint8_t t) { type = t; }
    int GetImageStandard() const { return imageStandard; }
    void SetImageStandard(int i) { imageStandard = i; }
    int GetImageIndex() const { return imageIndex; }
    void SetImageIndex(int i) { imageIndex = i; }
    int GetButtonCount() const { return buttonCount; }
    void SetButtonCount(int n) { buttonCount = n; }
    int GetButtonIndex() const { return buttonIndex; }
    void SetButtonIndex(int i) { buttonIndex = i; }
    // The tool images the image index points into; not owned.
    void SetIdResourceList(const std::vector<Image*>* list) { images = list; }
    void SetIdResourceListDisable(const std::vector<Image*>* list) { imagesDisabled = list; }
    // The tool image and its disabled twin at the image index, or null.
    Image* GetImage() const;
    Image* GetImageDisabled() const;

private:
    uint8_t type = 0;
    int32_t imageStandard = -1;
    int32_t imageIndex = -1;
    int32_t buttonCount = 0;
    int32_t buttonIndex = 0;
    const std::vector<Image*>* images = nullptr;
    const std::vector<Image*>* imagesDisabled = nullptr;
};

}  // namespace tessella
