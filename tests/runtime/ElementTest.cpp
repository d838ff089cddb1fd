#include <gtest/gtest.h>

#include "RuntimeFixtures.h"
#include "runtime/Application.h"
#include "runtime/Child.h"
#include "runtime/Font.h"
#include "runtime/VKPressed.h"

using namespace tessella;

namespace {

// A panel holds children of its own; their positions are relative to it.
class Panel : public TraceControl {
public:
    Panel(GUIElement* parent, int x, int y) : TraceControl(parent, "panel", x, y, 200, 100) {
        className = "panel";
    }
};

timespec fakeNow{};
timespec FakeClock() {
    return fakeNow;
}

int doubleClicks = 0;
int textChanges = 0;
int childrenBuilt = 0;

class Elements : public ::testing::Test {
protected:
    void SetUp() override {
        trace.clear();
        FreshLog();
        doubleClicks = textChanges = childrenBuilt = 0;
    }
    void TearDown() override { MyDateTime::SetClockSource(nullptr); }
};

}  // namespace

TEST_F(Elements, NewElementDefaultsAndFirstIds) {
    TraceControl e(nullptr, "e", 0, 0, 0, 0);
    TraceControl fresh(nullptr, "f", 0, 0, 0, 0);
    // The fixture's constructor set a size; a plain element starts at 100 x 50 at (100, 100).
    class Plain : public Child {
    public:
        Plain() : Child(nullptr) {}
        void Load() override {
            LoadElementBase();
            loaded = true;
        }
    } plain;
    EXPECT_EQ(plain.Width(), 100);
    EXPECT_EQ(plain.Height(), 50);
    EXPECT_EQ(plain.GetPosition().x, 100);
    EXPECT_EQ(plain.GetPosition().y, 100);
    EXPECT_TRUE(plain.GetEnabled());
    EXPECT_FALSE(plain.IsLoad());
    EXPECT_FALSE(plain.IsVisible());
    EXPECT_EQ(plain.GetID(), 0);
    EXPECT_EQ(plain.GetOrvClassName(), "");
    EXPECT_EQ(plain.GetBackgroundColor(), ~0UL);

    // Ids come from one counter, in load order (the first ever is 1), and an element keeps its
    // id when loaded again.
    const int32_t before = GUIElement::countForm;
    plain.Show();
    EXPECT_EQ(plain.GetID(), before + 1);
    fresh.Show();
    EXPECT_EQ(fresh.GetID(), before + 2);
    plain.Load();
    EXPECT_EQ(plain.GetID(), before + 1);
    EXPECT_EQ(Application::GetElementByID(before + 2), &fresh);
    EXPECT_EQ(Application::GetElementByID(0), nullptr);  // unloaded elements have no id yet
}

TEST_F(Elements, HitIncludesBothEdgesOfLoadedVisibleElements) {
    TraceControl e(nullptr, "e", 10, 20, 30, 40);
    EXPECT_FALSE(e.Hit({10, 20}));  // not loaded
    e.Hide();
    EXPECT_FALSE(e.IsVisible());
    e.Show();
    EXPECT_TRUE(e.Hit({10, 20}));
    EXPECT_TRUE(e.Hit({40, 60}));
    EXPECT_FALSE(e.Hit({41, 60}));
    EXPECT_FALSE(e.Hit({40, 61}));
    EXPECT_FALSE(e.Hit({9, 30}));
    e.Hide();
    EXPECT_FALSE(e.Hit({20, 30}));
}

TEST_F(Elements, DoubleClickWithinNineHundredNinetyNineMilliseconds) {
    MyDateTime::SetClockSource(FakeClock);
    fakeNow = {1000, 0};
    class Clickable : public Child {
    public:
        Clickable() : Child(nullptr) {}
        void Load() override {}
    } c;
    c.SetOnLeftMouseDBLCLK([](GUIElement*, unsigned long, tagPOINT) { ++doubleClicks; });
    fakeNow = {2000, 0};
    c.OnLeftMouseUP({});
    fakeNow = {2000, 999000000};
    c.OnLeftMouseUP({});
    EXPECT_EQ(doubleClicks, 1);
    fakeNow = {2001, 999000000};
    c.OnLeftMouseUP({});
    EXPECT_EQ(doubleClicks, 1);  // 1000 ms is too slow
    // A clock set back is not a double click.
    fakeNow = {2001, 998000000};
    c.OnLeftMouseUP({});
    EXPECT_EQ(doubleClicks, 1);
}

TEST_F(Elements, TextChangeOnlyWhenTheTextReallyChanged) {
    TraceControl e(nullptr, "e", 0, 0, 10, 10);
    e.SetOnTextChange([](GUIElement*) { ++textChanges; });
    e.SetText("abc");
    e.OnFocus();
    e.SetText("abd");
    e.SetText("abc");
    e.OnLeave();
    EXPECT_EQ(textChanges, 0);
    e.OnFocus();
    e.SetText("abcd");
    e.OnLeave();
    EXPECT_EQ(textChanges, 1);
}

TEST_F(Elements, ChildrenAreBuiltOnceAndCursorFlagsExcludeEachOther) {
    TraceControl e(nullptr, "e", 0, 0, 10, 10);
    e.SetOnCreateChildren([](GUIElement*, unsigned long) { ++childrenBuilt; });
    e.OnCreateChildren(7);
    e.OnCreateChildren(8);
    EXPECT_EQ(childrenBuilt, 1);
    e.SetCursorWait(true);
    e.SetCursorHand(true);
    EXPECT_TRUE(e.CursorHand());
    EXPECT_FALSE(e.CursorWait());
}

TEST_F(Elements, PanelsTranslatePositionsAndHits) {
    TraceForm window("w");
    window.Show();
    ASSERT_TRUE(window.IsLoad());
    Panel panel(&window, 50, 60);
    TraceControl inside(&panel, "inside", 5, 5, 20, 20);
    TraceControl beside(&window, "beside", 300, 10, 20, 20);
    panel.Show();
    inside.Show();
    beside.Show();
    EXPECT_EQ(inside.GetFormParent(), &window);
    const tagPOINT p = inside.GetPositionFromParent(5, 5);
    EXPECT_EQ(p.x, 55);
    EXPECT_EQ(p.y, 65);
    EXPECT_EQ(Application::GetChildrenHit(window.GetID(), {60, 70}), &inside);
    EXPECT_EQ(Application::GetChildrenHit(window.GetID(), {200, 150}),
              nullptr);  // the panel itself
    EXPECT_EQ(Application::GetChildrenHit(window.GetID(), {310, 20}), &beside);
    const std::vector<GUIElement*> children = Application::GetChildren(window.GetID());
    EXPECT_EQ(children, (std::vector<GUIElement*>{&panel, &inside, &beside}));
    inside.SetEnabled(false);
    EXPECT_EQ(Application::GetChildrenHit(window.GetID(), {60, 70}), nullptr);
    window.CloseForm();
}

TEST_F(Elements, RemovingAnElementTwiceLogsTheMiss) {
    TraceControl e(nullptr, "e", 0, 0, 10, 10);
    e.Show();
    Application::RemoveWinForm(&e);
    Application::RemoveWinForm(&e);
    Application::AddWinForm(&e);  // for its own destructor
    const std::vector<std::string> log = LogLines();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind(" NON TROVATO! Application::RemoveWinForm = TraceControl size ", 0), 0u);
    EXPECT_NE(log[0].find(" id " + std::to_string(e.GetID())), std::string::npos);
}

TEST(VKPressed, SingleKeyModeReleasesTheOthers) {
    VKPressed keys;
    keys.KeyDOWN(10);
    keys.KeyDOWN(20);
    EXPECT_EQ(keys.KeyPressed(10), 0);
    EXPECT_EQ(keys.KeyPressed(20), 1);
    keys.SetSingleKey(0);
    keys.KeyDOWN(30);
    EXPECT_EQ(keys.KeyPressed(20), 1);
    keys.KeyUP(20);
    EXPECT_EQ(keys.KeyPressed(20), 0);
    keys.KeyDOWN(300);
    EXPECT_EQ(keys.KeyPressed(300), 0);
    EXPECT_EQ(keys.KeyPressed(-1), 0);
    // A code just past the table changes nothing else, the mode included.
    keys.KeyDOWN(256);
    keys.KeyDOWN(40);
    EXPECT_EQ(keys.KeyPressed(30), 1);
    EXPECT_EQ(keys.KeyPressed(40), 1);
}

TEST(Application, KeyStateOutsideTheTableIsUp) {
    Application::keyState[64] = 1;
    EXPECT_EQ(Application::GetKeyState(64), -1);
    EXPECT_EQ(Application::GetKeyState(300), 0);
    EXPECT_EQ(Application::GetKeyState(-5), 0);
    Application::keyState[64] = 0;
    // The table's last key is inside it.
    Application::keyState[255] = 1;
    EXPECT_EQ(Application::GetKeyState(255), -1);
    EXPECT_EQ(Application::GetKeyState(256), 0);
    Application::keyState[255] = 0;
}

// A font made again from a name and a size starts with no style, and says it was made.
TEST(Font, InitStartsAgainWithoutAStyle) {
    Font f("helvetica.font", 12);
    f.SetBold(1);
    f.SetItalic(1);
    f.SetUnderline(1);
    EXPECT_EQ(f.Init("times.font", 18), 1);
    EXPECT_EQ(f.GetHFONT()->ta_Style, FS_NORMAL);
    EXPECT_STREQ(f.GetHFONT()->ta_Name, "times.font");
    EXPECT_EQ(f.GetHFONT()->ta_YSize, 18);
    f.SetUnderline(1);
    EXPECT_EQ(f.GetHFONT()->ta_Style, FSF_UNDERLINED);
}
