#pragma once

#include <intuition.h>

#include <memory>
#include <string>
#include <vector>

#include "runtime/Form.h"

namespace tessella {

class Button;
class ButtonCustom;
class CellControl;
class CheckBox;
class ComboBox;
class ImageFrame;
class Label;
class ListBox;
class MenuBar;
class MyImage;
class OptionBox;
class OrvMenu;
class OrvScreen;
class PanelChildren;
class ProgressBar;
class ScrollBar;
class Slider;
class StatusBar;
class SubMenu;
class TextBox;
class TextBoxCustom;
class TextBoxView;
class ToolBar;
class ToolBarItem;

// Every control of the toolkit in one window on the program's screen, each doing what it does
// in the utility. What the user does is reported on standard output, one "gallery: ..." line
// each, and in the status bar.
class GalleryForm : public Form {
public:
    explicit GalleryForm(OrvScreen* screen);
    ~GalleryForm() override;

    bool OnKeyPress(int character) override;

private:
    // A 16 x 16 image drawn as text, one character a pixel: '.' is pen 0, '1'..'9' and
    // 'a'..'f' the pens 1 to 15; the character from stands for to.
    struct Picture {
        explicit Picture(const char* const rows[16], char from = 0, char to = 0);
        std::vector<UWORD> planes;
        Image image{};
    };

    static void CreateChildren(GUIElement* form, unsigned long handle);
    static GalleryForm* Of(GUIElement* e);
    static void Pressed(GUIElement* e);
    static void NextFrame(GUIElement* e);
    static void Checked(GUIElement* e);
    static void OptionChosen(GUIElement* e);
    static void ComboChosen(GUIElement* e);
    static void ListChosen(GUIElement* e);
    static void SliderMoved(GUIElement* e, int value);
    static void TextChanged(GUIElement* e);
    static void MenuQuit(GUIElement* e);
    static void MenuAbout(GUIElement* e);
    static void ToolPressed(GUIElement* e);
    static void PanelScrolled(GUIElement* e, int pos);

    void BuildCustomDrawn();
    void BuildGadgets();
    void BuildTextControls();
    void BuildMenus();
    void BuildToolBar();
    void BuildScrollingPanel();
    void Report(const std::string& what);

    Picture padlock;
    std::vector<Picture> lights;
    std::vector<Image*> lightFrames;
    int frame = 0;
    int presses = 0;

    std::unique_ptr<PanelChildren> panel;
    std::unique_ptr<ButtonCustom> press;
    std::unique_ptr<ButtonCustom> disabled;
    std::unique_ptr<ButtonCustom> locked;
    std::unique_ptr<ButtonCustom> combo;
    std::unique_ptr<ButtonCustom> next;
    std::unique_ptr<MyImage> image;
    std::unique_ptr<ImageFrame> light;
    std::unique_ptr<Label> label;
    std::unique_ptr<ProgressBar> progress;
    std::unique_ptr<CellControl> cell;

    std::unique_ptr<Button> button;
    std::unique_ptr<CheckBox> check;
    std::unique_ptr<OptionBox> option;
    std::unique_ptr<ComboBox> choice;
    std::unique_ptr<ListBox> list;
    std::unique_ptr<TextBox> text;
    std::unique_ptr<Slider> slider;
    std::unique_ptr<ScrollBar> scroll;

    std::unique_ptr<TextBoxCustom> custom;
    std::unique_ptr<TextBoxCustom> password;
    std::unique_ptr<TextBoxView> view;
    std::unique_ptr<StatusBar> status;
    std::unique_ptr<ToolBar> toolBar;
    std::vector<std::unique_ptr<ToolBarItem>> tools;
    std::unique_ptr<PanelChildren> scrolling;
    std::vector<std::unique_ptr<CellControl>> styles;

    std::unique_ptr<MenuBar> menuBar;
    std::unique_ptr<OrvMenu> project;
    std::unique_ptr<SubMenu> about;
    std::unique_ptr<SubMenu> separator;
    std::unique_ptr<SubMenu> quit;
    std::unique_ptr<OrvMenu> options;
    std::unique_ptr<SubMenu> sound;
};

}  // namespace tessella
