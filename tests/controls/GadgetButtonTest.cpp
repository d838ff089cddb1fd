// Buttons and check boxes on their platform gadgets, clicked as a user would.
#include <gtest/gtest.h>

#include <algorithm>

#include "GadgetDesk.h"
#include "controls/Button.h"
#include "controls/ButtonCustom.h"
#include "controls/CheckBox.h"
#include "controls/ScrollBar.h"
#include "controls/TextBox.h"
#include "tests/support/TestLog.h"

using namespace tessella;

namespace {

using Buttons = GadgetDesk;

void Command(GUIElement* e) {
    Record(e, "command");
}

// A dot of the disabled pattern that no caption or frame covers in a 30-high gadget.
constexpr int kGhostX = 8;
constexpr int kGhostY = 4;

}  // namespace

TEST_F(Buttons, AClickRunsTheCommandThenReachesTheWindow) {
    Button ok(&form, "OK");
    ok.SetLocation(40, 40);
    ok.SetCommand(Command);
    ok.Show();
    ASSERT_TRUE(ok.IsLoad());
    EXPECT_GT(ok.GetID(), 0);
    EXPECT_EQ(ok.IsTabStop(), 0);
    // The caption is drawn inside the bevel.
    EXPECT_GT(Count(42, 42, 76, 26, 1), 10);

    Click(80, 55);
    EXPECT_EQ(events, (std::vector<std::string>{"OK:command", "form:down", "form:up"}));
    EXPECT_EQ(Application::GadgetSel, nullptr);
}

TEST_F(Buttons, ADefaultButtonTakesClicksOverItsWholeBoxAndNoFurther) {
    Button ok(&form, "OK");
    ok.SetLocation(40, 40);
    ok.SetCommand(Command);
    ok.Show();
    Click(40 + 79, 40 + 29);  // its bottom-right pixel
    EXPECT_EQ(events.front(), "OK:command");
    for (const auto& [x, y] : {std::pair{40 + 80, 55}, std::pair{80, 40 + 30}}) {
        events.clear();
        Click(x, y);
        EXPECT_EQ(events, (std::vector<std::string>{"form:down", "form:up"})) << x << "," << y;
    }
}

// What a window's layout code reads back from controls it has not sized.
TEST_F(Buttons, DefaultSizesAndTabStops) {
    Button button(&form, "b");
    CheckBox check(&form, "c");
    ButtonCustom drawn(&form, "d");
    TextBox field(&form, "t");
    ScrollBar scroller(&form, 0, 100);
    scroller.SetText("s");
    struct Expected {
        GUIElement* control;
        int width, height;
        short tabStop;
    };
    for (const Expected& e :
         {Expected{&button, 80, 30, 0}, Expected{&check, 80, 30, 0}, Expected{&drawn, 80, 30, 1},
          Expected{&field, 80, 30, 1}, Expected{&scroller, 80, 13, 1}}) {
        EXPECT_EQ(e.control->Width(), e.width) << e.control->GetText();
        EXPECT_EQ(e.control->Height(), e.height) << e.control->GetText();
        EXPECT_EQ(e.control->IsTabStop(), e.tabStop) << e.control->GetText();
    }
}

TEST_F(Buttons, DisablingThroughTheElementGhostsTheGadgetAndStopsClicks) {
    Button ok(&form, "OK");
    ok.SetLocation(40, 40);
    ok.SetCommand(Command);
    ok.Show();
    EXPECT_NE(Pen(40 + kGhostX, 40 + kGhostY), 1);

    GUIElement* element = &ok;  // as a window's generic code reaches its controls
    element->SetEnabled(false);
    EXPECT_FALSE(ok.GetEnabled());
    EXPECT_EQ(Pen(40 + kGhostX, 40 + kGhostY), 1);
    // A ghosted gadget lets the click through to the window, without a beep.
    const int beeps = PlatformTest::BeepCount();
    Click(80, 55);
    EXPECT_EQ(events, (std::vector<std::string>{"form:down", "form:up"}));
    EXPECT_EQ(PlatformTest::BeepCount(), beeps);

    events.clear();
    element->SetEnabled(true);
    EXPECT_NE(Pen(40 + kGhostX, 40 + kGhostY), 1);
    Click(80, 55);
    EXPECT_EQ(events.front(), "OK:command");
}

TEST_F(Buttons, DisabledBeforeLoadingStartsGhosted) {
    Button ok(&form, "OK");
    ok.SetLocation(40, 40);
    ok.SetEnabled(false);
    ok.SetCommand(Command);
    ok.Show();
    EXPECT_EQ(Pen(40 + kGhostX, 40 + kGhostY), 1);
    Click(80, 55);
    EXPECT_EQ(events, (std::vector<std::string>{"form:down", "form:up"}));
}

TEST_F(Buttons, HidingErasesAndShowingBringsTheSameButtonBack) {
    form.SetBackgroundColor(3);
    Button ok(&form, "OK");
    ok.SetLocation(40, 40);
    ok.SetCommand(Command);
    ok.Show();
    ok.Hide();
    EXPECT_FALSE(ok.IsLoad());
    EXPECT_FALSE(ok.IsVisible());
    EXPECT_EQ(Count(40, 40, 80, 30, 3), 80 * 30);
    Click(80, 55);
    EXPECT_EQ(events, (std::vector<std::string>{"form:down", "form:up"}));

    events.clear();
    const int32_t id = ok.GetID();
    ok.Show();
    EXPECT_EQ(ok.GetID(), id);
    Click(80, 55);
    EXPECT_EQ(events.front(), "OK:command");
}

TEST_F(Buttons, NewCaptionSizeAndPlaceTakeEffectOnAShownButton) {
    Button b(&form, "I");
    b.SetLocation(40, 40);
    b.SetCommand(Command);
    b.Show();
    const int narrowInk = Count(40, 40, 80, 30, 1);
    b.SetText("WWWWWW");
    EXPECT_GT(Count(40, 40, 80, 30, 1), narrowInk + 20);

    b.SetLocation(200, 100);
    b.SetSize(120, 40);
    EXPECT_TRUE(b.IsLoad());
    Click(80, 55);  // where it was: empty window now
    EXPECT_EQ(events, (std::vector<std::string>{"form:down", "form:up"}));
    events.clear();
    Click(310, 135);  // inside the new, larger box only
    EXPECT_EQ(events.front(), "WWWWWW:command");
}

TEST_F(Buttons, CheckBoxTogglesAndRunsItsCommand) {
    CheckBox check(&form, "Check");
    check.SetLocation(40, 40);
    check.SetCommand(Command);
    check.Show();
    EXPECT_EQ(check.IsTabStop(), 0);
    EXPECT_EQ(check.IsChecked(), 0);
    // The caption stands right of the box.
    EXPECT_GT(Count(70, 40, 60, 12, 1), 10);

    Click(50, 45);
    EXPECT_EQ(check.IsChecked(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"Check:command", "form:down", "form:up"}));
    Click(50, 45);
    EXPECT_EQ(check.IsChecked(), 0);

    // From the keyboard: Space ticks and unticks it once Tab has given it the keyboard, each
    // time as a click does; other keys leave it.
    events.clear();
    Key(RAWKEY_TAB);
    Type("a");
    EXPECT_EQ(check.IsChecked(), 0);
    Key(RAWKEY_SPACE);
    EXPECT_EQ(check.IsChecked(), 1);
    Key(RAWKEY_SPACE);
    EXPECT_EQ(check.IsChecked(), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), std::string("Check:command")), 2);
}

TEST_F(Buttons, CheckBoxStateSetWhileHiddenIsWhatItShowsAgain) {
    CheckBox check(&form, "Check");
    check.SetLocation(40, 40);
    check.SetChecked(1);  // before loading: the gadget starts checked
    check.Show();
    EXPECT_EQ(check.IsChecked(), 1);
    Click(50, 45);
    EXPECT_EQ(check.IsChecked(), 0);

    check.Hide();
    EXPECT_EQ(check.IsChecked(), 0);  // what the user left, kept while hidden
    check.SetChecked(1);
    check.Show();
    EXPECT_EQ(check.IsChecked(), 1);
    check.SetText("Other");  // a new gadget keeps the state too
    EXPECT_EQ(check.IsChecked(), 1);
}

TEST_F(Buttons, WithoutAGadgetACheckBoxStaysUnloadedAndTheWindowKeepsItsOthers) {
    Button ok(&form, "OK");
    ok.SetLocation(40, 40);
    ok.SetCommand(Command);
    ok.Show();
    TestLog::Fresh();

    // Visual information the gadget library does not recognise: it makes no gadget.
    struct Foreign {
        ULONG magic = 0;
    } foreign;
    void* const real = GUIElement::GlobalVisualInfo;
    GUIElement::GlobalVisualInfo = &foreign;
    CheckBox check(&form, "Check");
    check.SetLocation(40, 100);
    check.Show();
    Button bare(&form, "bare");
    bare.SetLocation(200, 100);
    bare.Show();
    GUIElement::GlobalVisualInfo = real;

    EXPECT_FALSE(check.IsLoad());
    EXPECT_EQ(TestLog::Lines(), (std::vector<std::string>{"Errore creazione gadgets"}));
    check.SetChecked(1);
    EXPECT_EQ(check.IsChecked(), 1);
    EXPECT_TRUE(bare.IsLoad());  // counts as loaded; what needs the gadget is skipped
    bare.SetEnabled(false);
    bare.SetText("still bare");
    EXPECT_EQ(bare.GetText(), "still bare");

    Click(80, 55);  // the list went back to the window whole
    EXPECT_EQ(events.front(), "OK:command");
}

TEST_F(Buttons, AWindowClosedAndOpenedAgainGetsNewGadgetsFromItsControls) {
    Button ok(&form, "OK");
    ok.SetLocation(40, 40);
    ok.SetCommand(Command);
    ok.Show();
    CheckBox check(&form, "Check");
    check.SetLocation(40, 100);
    check.Show();
    check.SetChecked(1);

    form.CloseForm();  // frees every gadget of its list
    ok.SetEnabled(false);
    ok.SetEnabled(true);
    EXPECT_EQ(check.IsChecked(), 1);
    EXPECT_FALSE(ok.IsLoad());

    form.Show();
    ok.Show();
    check.Show();
    ASSERT_TRUE(ok.IsLoad());
    Click(80, 55);
    EXPECT_EQ(events.front(), "OK:command");
    EXPECT_EQ(check.IsChecked(), 1);
}

// A gadget button takes the keyboard from Tab; then Space and Return press it as a click does,
// and other keys do nothing to it.
TEST_F(Buttons, TabGivesTheKeyboardAndSpaceOrReturnPresses) {
    Button ok(&form, "OK");
    ok.SetLocation(40, 40);
    ok.SetCommand(Command);
    ok.Show();
    const auto commands = [this] {
        return std::count(events.begin(), events.end(), std::string("OK:command"));
    };
    Key(RAWKEY_SPACE);  // nothing has the keyboard yet
    EXPECT_EQ(commands(), 0);
    Key(RAWKEY_TAB);  // the window's one stop
    Type("a");
    EXPECT_EQ(commands(), 0);
    Key(RAWKEY_SPACE);
    EXPECT_EQ(commands(), 1);
    Key(RAWKEY_RETURN);
    EXPECT_EQ(commands(), 2);
}
