// Every control of this family in one window, saved as the user sees it: at rest, with the
// keyboard in a field, held down by the pointer, and disabled.
#include <gtest/gtest.h>

#include <memory>

#include "GadgetDesk.h"
#include "controls/Button.h"
#include "controls/CellControl.h"
#include "controls/CheckBox.h"
#include "controls/ComboBox.h"
#include "controls/ListBox.h"
#include "controls/OptionBox.h"
#include "controls/ScrollBar.h"
#include "controls/Slider.h"
#include "controls/StatusBar.h"
#include "controls/TextBox.h"
#include "controls/TextBoxView.h"
#include "controls/ToolBar.h"
#include "controls/ToolBarItem.h"

using namespace tessella;

namespace {

class Gallery : public GadgetDesk {
protected:
    void SetUp() override {
        GadgetDesk::SetUp();
        Build();
    }

    void Build() {
        Put(button, 20, 30, 80, 30);
        Put(check, 120, 30, 80, 30);
        option->AddItems("Encrypt", "e");
        option->AddItems("Decrypt", "d");
        option->AddItems("Check", "c");
        Put(option, 220, 30, 80, 40);
        for (const char* s : {"one", "two", "three"}) {
            combo->AddItems(s, s);
            list->AddItems(std::string("item ") + s, s);
        }
        Put(combo, 320, 30, 100, 20);
        Put(list, 20, 100, 130, 90);
        Put(hbar, 170, 100, 200, 13);
        vbar->SetVScroll(1);
        Put(vbar, 390, 90, 14, 100);
        Put(slider, 200, 130, 150, 12);
        Put(text, 170, 180, 200, 20);
        number->SetNumber(1);
        Put(number, 170, 210, 80, 20);
        cell->SetBorder(1);
        cell->SetAlign(AlignLeft);
        cell->SetBackgroundColor(2);
        Put(cell, 440, 30, 160, 20);
        marked->SetBorder(1);
        marked->SetCheck(1);
        marked->SetSelected(true);
        marked->SetSelectedColorBG(3);
        marked->SetSelectedColor(2);
        Put(marked, 440, 56, 160, 24);
        Put(view, 440, 100, 180, 150);
        Put(tools, 20, 300, 300, 30);
        for (auto* item : {first.get(), gap.get(), second.get()}) {
            item->SetCommand([](GUIElement* e) { Record(e, "command"); });
            tools->AddToolBarItem(item);
        }
        first->SetText("Open");
        first->SetImageStandard(1);
        gap->SetType(1);
        second->SetImageStandard(2);
        tools->SetAlignTop(true);
        // The status bar measures its window when it is made: after the window has its size.
        status = std::make_unique<StatusBar>(&form, "Ready");
        status->Show();
        for (GUIElement* e : All()) {
            e->Show();
        }
        Pump();
    }

    template <typename T>
    void Put(std::unique_ptr<T>& control, int x, int y, int w, int h) {
        control->SetLocation(x, y);
        control->SetSize(w, h);
    }

    std::vector<GUIElement*> All() {
        return {button.get(), check.get(),  option.get(), combo.get(), list.get(),
                hbar.get(),   vbar.get(),   slider.get(), text.get(),  number.get(),
                cell.get(),   marked.get(), view.get(),   tools.get()};
    }

    // Holds the pointer down on a point of the window, saves the screen, lets go.
    void Held(int x, int y, const std::string& name) {
        PlatformTest::MovePointer(X(x), Y(y));
        PlatformTest::PressButton();
        Snapshot(name);
        PlatformTest::ReleaseButton();
        Pump();
    }

    std::unique_ptr<Button> button = std::make_unique<Button>(&form, "OK");
    std::unique_ptr<CheckBox> check = std::make_unique<CheckBox>(&form, "Check");
    std::unique_ptr<OptionBox> option = std::make_unique<OptionBox>(&form);
    std::unique_ptr<ComboBox> combo = std::make_unique<ComboBox>(&form);
    std::unique_ptr<ListBox> list = std::make_unique<ListBox>(&form);
    std::unique_ptr<ScrollBar> hbar = std::make_unique<ScrollBar>(&form, 0, 1000);
    std::unique_ptr<ScrollBar> vbar = std::make_unique<ScrollBar>(&form, 0, 500);
    std::unique_ptr<Slider> slider = std::make_unique<Slider>(&form, 0, 0, 10);
    std::unique_ptr<TextBox> text = std::make_unique<TextBox>(&form, "Some text");
    std::unique_ptr<TextBox> number = std::make_unique<TextBox>(&form, "42");
    std::unique_ptr<CellControl> cell = std::make_unique<CellControl>(&form);
    std::unique_ptr<CellControl> marked = std::make_unique<CellControl>(&form);
    std::unique_ptr<TextBoxView> view = std::make_unique<TextBoxView>(
        &form,
        "A read-only view of a longer text, wrapped at word boundaries and scrolled with the "
        "bar at its right.\nA second paragraph starts on a line of its own and runs on for long "
        "enough to need the scroll bar, so that its knob is shorter than the track.\nThird.");
    std::unique_ptr<ToolBar> tools = std::make_unique<ToolBar>(&form, false);
    std::unique_ptr<ToolBarItem> first = std::make_unique<ToolBarItem>(tools.get());
    std::unique_ptr<ToolBarItem> gap = std::make_unique<ToolBarItem>(tools.get());
    std::unique_ptr<ToolBarItem> second = std::make_unique<ToolBarItem>(tools.get());
    std::unique_ptr<StatusBar> status;
};

}  // namespace

TEST_F(Gallery, NormalFocusedPressedAndDisabled) {
    cell->SetText("Cell, left");
    marked->SetText("Selected, checked");
    Snapshot("gadgets_normal");

    Click(360, 190);  // the keyboard into the text field, its cursor shown
    Click(40, 100 + 2 + 9 + 4);
    EXPECT_EQ(list->SelectedIndex(), 1);
    Click(360, 190);
    Snapshot("gadgets_focused");
    EXPECT_EQ(Application::GadgetSel, text.get());

    Held(60, 45, "gadgets_pressed_button");
    EXPECT_EQ(events.back(), "form:up");
    Held(130, 35, "gadgets_pressed_checkbox");
    EXPECT_EQ(check->IsChecked(), 1);
    Held(360, 40, "gadgets_pressed_combobox");
    Held(260, 106, "gadgets_pressed_scrollbar");
    Held(205, 136, "gadgets_pressed_slider");

    for (GUIElement* e : All()) {
        e->SetEnabled(false);
    }
    Snapshot("gadgets_disabled");
    EXPECT_EQ(ScreenPen(20 + 8, 30 + 4), 1);       // the button's ghost dots, on the screen
    EXPECT_EQ(ScreenPen(440 + 10, 100 + 140), 0);  // the disabled view's background
}
