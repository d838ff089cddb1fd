#pragma once

#include <array>
#include <memory>
#include <vector>

#include "CustomControl.h"

struct Image;

namespace tessella {

class ButtonCustom;
class ToolBarItem;

// A row or column of self-drawn buttons laid out from a list of item descriptions: along the
// top or bottom of the window, or down its left or right side. Painting lays the buttons out.
class ToolBar : public CustomControl {
public:
    static constexpr size_t kStandardImages = 3;

    // The flag is accepted for callers that pass one; it changes nothing.
    ToolBar(GUIElement* parent, bool flag);
    ~ToolBar() override;

    void Hide() override;
    void OnPaint() override;
    // The tool bar's place is only stored: the layout reads it.
    void SetLocation(int x, int y) override { position = {x, y}; }
    void SetPosition(int x, int y) override { position = {x, y}; }

    // Items stay the caller's.
    void AddToolBarItem(ToolBarItem* item);
    void RemoveToolBarItem(ToolBarItem* item);
    void RefreshToolBarItems();
    void SetFlatSytle(bool v) { flatStyle = v; }
    void SetAutoResize(bool v) { autoResize = v; }
    void SetShowText(bool v) { showText = v; }
    void SetBorder(bool v) { border = v; }
    void SetAlignTop(bool v);
    void SetAlignBottom(bool v);
    void SetAlignLeft(bool v);
    void SetAlignRight(bool v);
    void InitAlign();

    // A button's command: runs the command of the item the button stands for.
    static void OnCommand(GUIElement* button);
    void evCommand(GUIElement* button);

    // Images every tool bar can use by index: a page, a folder and a disk, 16 x 16.
    static std::array<Image*, kStandardImages> lstImgStandard;
    static std::array<Image*, kStandardImages> lstImgStandard_dis;

private:
    // Lays out one button item at (x, y); returns the button's size.
    tagSIZE PlaceButton(ToolBarItem* item, size_t button, int x, int y);

    std::vector<ToolBarItem*> items;
    std::vector<std::unique_ptr<ButtonCustom>> buttons;
    // The item each button stands for, by the buttons' order.
    std::vector<ToolBarItem*> buttonItems;
    bool flatStyle = false;
    bool autoResize = false;
    bool showText = false;
    bool border = false;
    bool alignTop = false;
    bool alignBottom = false;
    bool alignLeft = false;
    bool alignRight = false;
};

}  // namespace tessella
