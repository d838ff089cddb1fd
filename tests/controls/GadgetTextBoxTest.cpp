// Text fields: what the user types, what the program sets, and where the keyboard goes.
#include <gtest/gtest.h>
#include <keymap.h>

#include "GadgetDesk.h"
#include "controls/Button.h"
#include "controls/TextBox.h"

using namespace tessella;

namespace {

using TextFields = GadgetDesk;

void Focused(GUIElement* e) {
    Record(e, "focus");
}
void Left(GUIElement* e) {
    Record(e, "leave");
}
void Changed(GUIElement* e) {
    Record(e, "changed");
}

}  // namespace

TEST_F(TextFields, ShowsItsTextAndReturnsWhatTheUserTyped) {
    TextBox box(&form, "abc");
    box.SetLocation(40, 40);
    box.SetSize(200, 20);
    EXPECT_EQ(box.IsTabStop(), 1);
    box.Show();
    EXPECT_EQ(box.GetText(), "abc");
    EXPECT_GT(Count(44, 42, 30, 16, 1), 10);

    Click(230, 50);  // after the text: the cursor goes to its end
    Type("de");
    Key(RAWKEY_BACKSPACE);
    EXPECT_EQ(box.GetText(), "abcd");
    Key(RAWKEY_LEFT);
    Key(RAWKEY_LEFT);
    Key(RAWKEY_DELETE);
    EXPECT_EQ(box.GetText(), "abd");
    Type("X");
    EXPECT_EQ(box.GetText(), "abXd");
    box.SetText("z");  // shorter: nothing of the old text is left behind it
    EXPECT_EQ(box.GetText(), "z");
    Click(230, 50);
    Type("y");
    EXPECT_EQ(box.GetText(), "zy");
}

TEST_F(TextFields, FocusAndTextChangeFollowTheUser) {
    TextBox box(&form, "abc");
    box.SetLocation(40, 40);
    box.SetSize(200, 20);
    box.SetOnFocus(Focused);
    box.SetOnLeave(Left);
    box.SetOnTextChange(Changed);
    box.Show();
    Button other(&form, "other");
    other.SetLocation(40, 100);
    other.Show();

    Click(230, 50);
    EXPECT_EQ(events, (std::vector<std::string>{"abc:focus"}));
    EXPECT_EQ(Application::GadgetSel, &box);
    Type("d");
    events.clear();
    Click(80, 115);  // another gadget takes over
    EXPECT_EQ(events,
              (std::vector<std::string>{"abcd:leave", "abcd:changed", "form:down", "form:up"}));
    EXPECT_EQ(Application::GadgetSel, nullptr);
}

TEST_F(TextFields, ClickingAFieldTakesTheFocusFromACustomControl) {
    FocusProbe probe(&form, 300, 40);
    probe.Show();
    TextBox box(&form, "");
    box.SetLocation(40, 40);
    box.SetSize(200, 20);
    box.SetOnFocus(Focused);
    box.Show();

    Click(310, 50);
    EXPECT_EQ(Application::CustomsGadgetSel, &probe);
    events.clear();
    Click(100, 50);
    EXPECT_EQ(events, (std::vector<std::string>{"probe:leave", ":focus"}));
    EXPECT_EQ(Application::CustomsGadgetSel, nullptr);
    Type("k");  // the keys go to the field, not to the control
    EXPECT_EQ(box.GetText(), "k");
}

TEST_F(TextFields, TextSetBeforeLoadingIsShownThenAndCutToTheMaximum) {
    TextBox box(&form, "");
    box.SetMaxLength(5);
    box.SetText("abcdefgh");
    EXPECT_EQ(box.GetText(), "abcdefgh");  // not loaded: only stored
    box.SetLocation(40, 40);
    box.SetSize(200, 20);
    box.Show();
    EXPECT_EQ(box.GetText(), "abcde");
    box.SetMaxLength(50);  // fixed at the first load
    box.SetText("0123456789");
    EXPECT_EQ(box.GetText(), "01234");
    Click(230, 50);
    Type("zz");
    EXPECT_EQ(box.GetText(), "01234");
}

TEST_F(TextFields, NumberFieldTakesAtMostNineDigits) {
    TextBox box(&form, "12x");
    box.SetNumber(1);
    box.SetMaxLength(20);
    box.SetLocation(40, 40);
    box.SetSize(200, 20);
    box.Show();
    EXPECT_EQ(box.GetText(), "12");
    Click(230, 50);
    Type("3456789012");
    EXPECT_EQ(box.GetText(), "123456789");
    box.SetText("-42");
    EXPECT_EQ(box.GetText(), "-42");
}

TEST_F(TextFields, FocusByTheProgramSendsTheKeysIntoTheField) {
    TextBox box(&form, "ab");
    box.SetLocation(40, 40);
    box.SetSize(200, 20);
    box.Show();
    box.Focus();
    Type("c");
    EXPECT_EQ(box.GetText(), "abc");

    box.Hide();
    box.SetText("kept");
    box.Show();
    EXPECT_EQ(box.GetText(), "kept");
    EXPECT_EQ(box.fnHook(), 0);
}
