// Option boxes, combo boxes and list boxes: choices made with the pointer and by the program.
#include <gtest/gtest.h>

#include <memory>

#include "GadgetDesk.h"
#include "controls/ComboBox.h"
#include "controls/ListBox.h"
#include "controls/OptionBox.h"

using namespace tessella;

namespace {

using Choices = GadgetDesk;

void Command(GUIElement* e) {
    Record(e, "command");
}

// Radio buttons are 9 rows high, one row apart with the default font's 8-row lines.
constexpr int kRadioPitch = 10;

std::unique_ptr<OptionBox> ThreeOptions(GUIElement* form) {
    auto box = std::make_unique<OptionBox>(form);
    box->SetText("opt");
    box->SetLocation(40, 40);
    box->AddItems("Encrypt", "e");
    box->AddItems("Decrypt", "d");
    box->AddItems("Check", "c");
    box->SetCommand(Command);
    box->Show();
    return box;
}

}  // namespace

TEST_F(Choices, PressingARadioItemRunsTheCommandAtOnce) {
    auto box = ThreeOptions(&form);
    EXPECT_EQ(box->IsTabStop(), 0);
    EXPECT_EQ(box->SelectedIndex(), 0);
    Click(48, 44 + kRadioPitch);
    EXPECT_EQ(box->SelectedIndex(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"opt:command", "form:down"}));
    EXPECT_EQ(box->GetItemsValue(box->SelectedIndex()), "d");
    // The item labels stand right of the buttons.
    EXPECT_GT(Count(60, 40, 60, 3 * kRadioPitch, 1), 30);
}

TEST_F(Choices, AfterARadioPressTheNextClickReachesACustomControl) {
    auto box = ThreeOptions(&form);
    FocusProbe probe(&form, 300, 40);
    probe.Show();
    Click(48, 44 + 2 * kRadioPitch);
    events.clear();
    Click(310, 50);
    EXPECT_EQ(events,
              (std::vector<std::string>{"probe:focus", "probe:down", "form:down", "form:up"}));
    EXPECT_EQ(Application::CustomsGadgetSel, &probe);
}

TEST_F(Choices, OptionBoxKeepsItsChoiceAcrossHideShowAndNewItems) {
    auto box = ThreeOptions(&form);
    Click(48, 44 + 2 * kRadioPitch);
    box->Hide();
    EXPECT_EQ(box->SelectedIndex(), -1);
    box->Show();
    EXPECT_EQ(box->SelectedIndex(), 2);

    box->AddItems("Fourth", "4");
    EXPECT_TRUE(box->IsLoad());
    EXPECT_EQ(box->SelectedIndex(), 2);
    events.clear();
    Click(48, 44 + 3 * kRadioPitch);  // the new item is a button like the others
    EXPECT_EQ(box->SelectedIndex(), 3);
    EXPECT_EQ(events.front(), "opt:command");

    EXPECT_FALSE(box->DeleteItems(-1));
    EXPECT_FALSE(box->DeleteItems(4));
    EXPECT_TRUE(box->DeleteItems(0));  // the choice stays on "Fourth", now one up
    EXPECT_EQ(box->ItemsCount(), 3);
    EXPECT_EQ(box->GetItemsLabel(0), "Decrypt");
    EXPECT_EQ(box->SelectedIndex(), 2);
    EXPECT_TRUE(box->DeleteItems(2));  // the chosen one itself: back to the first
    EXPECT_EQ(box->SelectedIndex(), 0);
}

TEST_F(Choices, SelectionByTheProgramFollowsTheRules) {
    ComboBox combo(&form);
    combo.AddItems("one", "1");
    combo.AddItems("two", "2");
    combo.AddItems("three", "3");
    EXPECT_FALSE(combo.SetSelectedIndex(1));  // not loaded: lost
    EXPECT_EQ(combo.SelectedIndex(), -1);
    combo.SetLocation(40, 40);
    combo.SetSize(120, 20);
    combo.Show();
    EXPECT_EQ(combo.SelectedIndex(), 0);
    EXPECT_TRUE(combo.SetSelectedIndex(2));
    EXPECT_FALSE(combo.SetSelectedIndex(5));
    EXPECT_EQ(combo.SelectedIndex(), 2);
    EXPECT_TRUE(combo.SetSelectedIndex(-3));
    EXPECT_EQ(combo.SelectedIndex(), 0);
    combo.SetSelectedIndex(1);
    combo.ClearSelectedIndex();
    EXPECT_EQ(combo.SelectedIndex(), 0);

    EXPECT_EQ(combo.GetItemsLabel(7), "three");
    EXPECT_EQ(combo.GetItemsValue(-1), "3");
    EXPECT_EQ(combo.GetItemsLabelW(1), "two");
    combo.Clear();
    EXPECT_EQ(combo.ItemsCount(), 0);
    EXPECT_EQ(combo.GetItemsLabel(0), "");
}

TEST_F(Choices, ComboBoxClickCyclesAndNewItemsKeepTheChoice) {
    ComboBox combo(&form);
    combo.SetText("combo");
    combo.AddItems("one", "1");
    combo.AddItems("two", "2");
    combo.SetLocation(40, 40);
    combo.SetSize(120, 20);
    combo.SetCommand(Command);
    combo.Show();
    Click(100, 50);
    EXPECT_EQ(combo.SelectedIndex(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"combo:command", "form:down", "form:up"}));

    combo.AddItems("three", "3");
    EXPECT_EQ(combo.SelectedIndex(), 1);
    Click(100, 50);
    EXPECT_EQ(combo.SelectedIndex(), 2);
    EXPECT_TRUE(combo.DeleteItems("one"));
    EXPECT_EQ(combo.GetItemsLabel(0), "two");
    EXPECT_EQ(combo.SelectedIndex(), 1);

    combo.Hide();
    combo.AddItems("four", "4");  // while hidden: the gadget shown again cycles through it
    combo.Show();
    EXPECT_EQ(combo.SelectedIndex(), 1);
    Click(100, 50);
    EXPECT_EQ(combo.SelectedIndex(), 2);
    EXPECT_EQ(combo.GetItemsLabel(combo.SelectedIndex()), "four");
}

TEST_F(Choices, ComboBoxLeftOnItsFirstItemStaysThere) {
    ComboBox combo(&form);
    combo.AddItems("one", "1");
    combo.AddItems("two", "2");
    combo.SetLocation(40, 40);
    combo.SetSize(120, 20);
    combo.Show();
    ASSERT_EQ(combo.SelectedIndex(), 0);
    combo.AddItems("three", "3");
    EXPECT_EQ(combo.SelectedIndex(), 0);
    combo.Hide();
    combo.Show();
    EXPECT_EQ(combo.SelectedIndex(), 0);
    Click(100, 50);
    EXPECT_EQ(combo.SelectedIndex(), 1);
}

TEST_F(Choices, ListBoxPickRunsTheCommandAndItemsChangeInPlace) {
    ListBox list(&form);
    list.SetText("list");
    list.SetLocation(40, 60);
    list.SetCommand(Command);
    list.AddItems("alpha", "a");
    list.Show();
    list.AddItems("beta", "b");
    list.AddItems("gamma", "c");
    EXPECT_EQ(list.SelectedIndex(), -1);

    constexpr int row = 9;              // the default font's 8 rows and one between
    Click(60, 60 + 2 + row + row / 2);  // the second row
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"list:command", "form:down", "form:up"}));

    EXPECT_TRUE(list.UpdateItem(1, "BETA", "B"));
    EXPECT_EQ(list.GetItemsLabel(1), "BETA");
    EXPECT_EQ(list.GetItemsValue(1), "B");
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_FALSE(list.DeleteItems(-1));
    EXPECT_FALSE(list.UpdateItem(3, "x"));
    EXPECT_FALSE(list.UpdateItem(-1, "x"));
    EXPECT_TRUE(list.UpdateItem(0, "ALPHA"));
    EXPECT_EQ(list.GetItemsLabel(0), "ALPHA");
    EXPECT_EQ(list.GetItemsValue(0), "a");

    // Chosen by the program: any row, or none; a row past the end is refused.
    EXPECT_TRUE(list.SetSelectedIndex(2));
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_FALSE(list.SetSelectedIndex(3));
    EXPECT_FALSE(list.SetSelectedIndex(-2));
    EXPECT_EQ(list.SelectedIndex(), 2);
    EXPECT_TRUE(list.SetSelectedIndex(-1));
    EXPECT_EQ(list.SelectedIndex(), -1);
    EXPECT_TRUE(list.SetSelectedIndex(1));

    list.Hide();
    list.AddItems("delta", "d");  // while hidden: the list shown again has it
    list.Show();
    EXPECT_EQ(list.SelectedIndex(), 1);
    EXPECT_EQ(list.ItemsCount(), 4);
    events.clear();
    Click(60, 60 + 2 + 3 * row + row / 2);
    EXPECT_EQ(list.SelectedIndex(), 3);

    list.Clear();
    EXPECT_EQ(list.ItemsCount(), 0);
    EXPECT_EQ(list.SelectedIndex(), -1);
}
