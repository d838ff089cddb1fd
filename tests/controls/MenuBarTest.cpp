// The window's menus as elements: the strip built from them, rebuilt on every change, and picks
// by the menu button or by command keys reaching the entries' commands.
#include <algorithm>

#include "ControlDesk.h"
#include "controls/MenuBar.h"
#include "controls/OrvMenu.h"
#include "controls/SubMenu.h"
#include "tests/support/TestLog.h"

using namespace tessella;

namespace {

constexpr UWORD kRawE = 0x12;
constexpr UWORD kRawI = 0x17;
constexpr UWORD kRawS = 0x21;
constexpr UWORD kRawL = 0x28;

void Ran(GUIElement* e) {
    deskTrace.push_back(e->GetText() + ":command");
}

// Records the check state the entry holds when its command runs.
void RanChecked(GUIElement* e) {
    auto* entry = static_cast<SubMenu*>(e);
    deskTrace.push_back(e->GetText() + ":command:checked=" + std::to_string(entry->IsChecked()));
}

MenuItem* Item(int menu, int item, int sub = NOSUB) {
    return ItemAddress(Application::menu, static_cast<UWORD>(FULLMENUNUM(menu, item, sub)));
}

std::string Label(const MenuItem* item) {
    if (item == nullptr || (item->Flags & ITEMTEXT) == 0) {
        return "<bar>";
    }
    return static_cast<const IntuiText*>(item->ItemFill)->IText;
}

// The window's menus as the program's main window builds them.
class Menus : public ControlDesk {
protected:
    void SetUp() override {
        ControlDesk::SetUp();
        TestLog::Fresh();
        bar = std::make_unique<MenuBar>(main.get());
        file = std::make_unique<OrvMenu>(bar.get(), "&File");
        info = std::make_unique<SubMenu>(file.get(), "&Info...");
        separator = std::make_unique<SubMenu>(file.get());
        exit = std::make_unique<SubMenu>(file.get(), "&Exit");
        options = std::make_unique<OrvMenu>(bar.get(), "&Options");
        sound = std::make_unique<SubMenu>(options.get(), "&Sound");
        sound->SetTypeCheck(1);
        sound->SetChecked(1);
        language = std::make_unique<SubMenu>(options.get(), "Language");
        italian = std::make_unique<SubMenu>(language.get(), "Ita&liano");
        english = std::make_unique<SubMenu>(language.get(), "English");
        help = std::make_unique<OrvMenu>(bar.get(), "&?");
        for (SubMenu* e : {info.get(), exit.get(), italian.get(), english.get()}) {
            e->SetCommand(Ran);
        }
        sound->SetCommand(RanChecked);
        bar->Load();
    }

    void TearDown() override {
        // Entries go before their bar, as members of a window do in reverse order.
        english.reset();
        italian.reset();
        language.reset();
        sound.reset();
        help.reset();
        options.reset();
        exit.reset();
        separator.reset();
        info.reset();
        file.reset();
        bar.reset();
        ControlDesk::TearDown();
    }

    // Presses the menu button over a title, goes to the entry (and sub-entry), lets go there.
    void PickWithPointer(int menu, int item, int sub = -1) {
        Screen* s = screen->GetHandle();
        Menu* m = Application::menu;
        for (int i = 0; i < menu; ++i) {
            m = m->NextMenu;
        }
        PlatformTest::MovePointer(m->LeftEdge + m->Width / 2, s->BarHeight / 2);
        PlatformTest::PressButton(IECODE_RBUTTON);
        const MenuItem* it = Item(menu, item);
        int x = m->LeftEdge + it->LeftEdge;
        int y = s->BarHeight + it->TopEdge;
        PlatformTest::MovePointer(x + it->Width - 12, y + it->Height / 2);
        if (sub >= 0) {
            const MenuItem* si = Item(menu, item, sub);
            x += si->LeftEdge;
            y += si->TopEdge;
            PlatformTest::MovePointer(x + si->Width - 12, y + si->Height / 2);
        }
        PlatformTest::ReleaseButton(IECODE_RBUTTON);
        PlatformTest::WaitIdle();
    }

    std::unique_ptr<MenuBar> bar;
    std::unique_ptr<OrvMenu> file;
    std::unique_ptr<SubMenu> info;
    std::unique_ptr<SubMenu> separator;
    std::unique_ptr<SubMenu> exit;
    std::unique_ptr<OrvMenu> options;
    std::unique_ptr<SubMenu> sound;
    std::unique_ptr<SubMenu> language;
    std::unique_ptr<SubMenu> italian;
    std::unique_ptr<SubMenu> english;
    std::unique_ptr<OrvMenu> help;
};

}  // namespace

TEST_F(Menus, TheTreeBecomesTheWindowsStripWithLabelsKeysAndSeparators) {
    ASSERT_NE(Application::menu, nullptr);
    EXPECT_EQ(Application::menuBar, bar.get());
    EXPECT_EQ(main->GetHandle()->MenuStrip, Application::menu);
    EXPECT_GT(bar->GetID(), 0);
    EXPECT_TRUE(bar->IsLoad());
    for (GUIElement* e : std::initializer_list<GUIElement*>{file.get(), info.get(), exit.get(),
                                                            italian.get(), help.get()}) {
        EXPECT_TRUE(e->IsLoad()) << e->GetText();
        EXPECT_GT(e->GetID(), 0);
        EXPECT_EQ(e->Width(), 0);
    }
    EXPECT_EQ(bar->GetOrvClassName(), "menubar");
    EXPECT_EQ(file->GetOrvClassName(), "menu");
    EXPECT_EQ(exit->GetOrvClassName(), "submenu");

    const Menu* strip = Application::menu;
    EXPECT_STREQ(strip->MenuName, "File");
    EXPECT_STREQ(strip->NextMenu->MenuName, "Options");
    EXPECT_STREQ(strip->NextMenu->NextMenu->MenuName, "?");  // a title never has a key
    EXPECT_EQ(Label(Item(0, 0)), "Info...");
    EXPECT_EQ(Item(0, 0)->Command, 'I');
    EXPECT_EQ(Label(Item(0, 1)), "<bar>");  // the separator takes an item position
    EXPECT_EQ(Label(Item(0, 2)), "Exit");
    EXPECT_EQ(Item(0, 2)->Command, 'E');
    EXPECT_TRUE(Item(1, 0)->Flags & CHECKIT);
    EXPECT_TRUE(Item(1, 0)->Flags & CHECKED);
    EXPECT_FALSE(Item(1, 1)->Flags & COMMSEQ);  // "Language" has no ampersand
    EXPECT_EQ(Label(Item(1, 1, 0)), "Italiano");
    EXPECT_EQ(Item(1, 1, 0)->Command, 'l');
    EXPECT_FALSE(Item(1, 1, 1)->Flags & COMMSEQ);
    EXPECT_EQ(bar->at(3), nullptr);
    EXPECT_EQ(file->at(2), exit.get());
    EXPECT_EQ(language->at(2), nullptr);
    EXPECT_EQ(exit->GetParentHMENU(), nullptr);
}

TEST_F(Menus, PicksByPointerAndByCommandKeyRunTheEntryCommands) {
    RunWith([&] {
        PickWithPointer(0, 2);     // Exit
        PickWithPointer(1, 1, 1);  // Language > English
        PickWithPointer(0, 1);     // the separator: nothing
        PlatformTest::TypeKey(kRawI, IEQUALIFIER_LCOMMAND);
        PlatformTest::WaitIdle();
        PlatformTest::TypeKey(kRawL, IEQUALIFIER_RCOMMAND);  // a sub-entry's key
        PlatformTest::WaitIdle();
    });
    EXPECT_EQ(deskTrace, (std::vector<std::string>{"&Exit:command", "English:command",
                                                   "&Info...:command", "Ita&liano:command"}));
}

TEST_F(Menus, UncheckingFromTheMenuStoresTheMarkBeforeTheCommandRuns) {
    RunWith([&] {
        PickWithPointer(1, 0);
        PlatformTest::TypeKey(kRawS, IEQUALIFIER_LCOMMAND);
        PlatformTest::WaitIdle();
    });
    EXPECT_EQ(deskTrace,
              (std::vector<std::string>{"&Sound:command:checked=0", "&Sound:command:checked=1"}));
    EXPECT_EQ(sound->GetCheckMark(), 1);
}

TEST_F(Menus, ChangesToLoadedEntriesRebuildTheStrip) {
    Menu* first = Application::menu;
    exit->SetEnabled(0);
    ASSERT_NE(Application::menu, nullptr);
    EXPECT_EQ(main->GetHandle()->MenuStrip, Application::menu);
    EXPECT_FALSE(Item(0, 2)->Flags & ITEMENABLED);
    EXPECT_FALSE(exit->GetEnabled());

    // Through the element model's own setter as well.
    GUIElement* asElement = info.get();
    asElement->SetEnabled(false);
    EXPECT_FALSE(Item(0, 0)->Flags & ITEMENABLED);
    asElement->SetEnabled(true);
    EXPECT_TRUE(Item(0, 0)->Flags & ITEMENABLED);

    sound->SetChecked(0);
    EXPECT_FALSE(Item(1, 0)->Flags & CHECKED);
    english->SetTypeCheck(1);
    EXPECT_TRUE(Item(1, 1, 1)->Flags & CHECKIT);

    SubMenu late(file.get(), "&Print");
    late.SetCommand(Ran);
    EXPECT_EQ(Label(Item(0, 3)), "Print");
    SubMenu deeper(exit.get(), "Now");
    EXPECT_EQ(Label(Item(0, 2, 0)), "Now");
    EXPECT_TRUE(late.IsLoad());
    (void)first;

    RunWith([&] {
        PickWithPointer(0, 2);  // ghosted: picks nothing
        PlatformTest::TypeKey(kRawE, IEQUALIFIER_LCOMMAND);
        PlatformTest::WaitIdle();
        PlatformTest::TypeKey(0x19, IEQUALIFIER_LCOMMAND);  // p
        PlatformTest::WaitIdle();
    });
    // The ghosted entry's key reaches the window as an ordinary key instead.
    EXPECT_EQ(deskTrace, (std::vector<std::string>{"window:press:e", "&Print:command"}));
}

TEST_F(Menus, AnOpenMenuShowsItsKeysInOneColumn) {
    RunWith([&] {
        Screen* s = screen->GetHandle();
        Menu* m = Application::menu;
        PlatformTest::MovePointer(m->LeftEdge + 4, s->BarHeight / 2);
        PlatformTest::PressButton(IECODE_RBUTTON);
        const MenuItem* first = Item(0, 0);
        PlatformTest::MovePointer(m->LeftEdge + first->LeftEdge + 8,
                                  s->BarHeight + first->TopEdge + first->Height / 2);
        Snapshot("menu_open.png");
        // Back over the title: no entry lit, every label and sign in the text pen.
        PlatformTest::MovePointer(m->LeftEdge + 4, s->BarHeight / 2);
        PlatformTest::WaitIdle();
        // The sign's left edge: the first text pixel after a gap wider than any letter gap.
        auto signColumn = [&](const MenuItem* row) {
            const int y = s->BarHeight + row->TopEdge + row->Height / 2;
            int lastText = -1;
            for (int x = m->LeftEdge + row->LeftEdge; x < m->LeftEdge + row->LeftEdge + row->Width;
                 ++x) {
                if (Pen(x, y) == kBlack) {
                    if (lastText >= 0 && x - lastText > 8) {
                        return x;
                    }
                    lastText = x;
                }
            }
            return -1;
        };
        const int infoSign = signColumn(Item(0, 0));
        const int exitSign = signColumn(Item(0, 2));
        // The second menu: a check mark, a sub-menu and its entries.
        Menu* options = m->NextMenu;
        PlatformTest::MovePointer(options->LeftEdge + 4, s->BarHeight / 2);
        const MenuItem* language = Item(1, 1);
        const int lx = options->LeftEdge + language->LeftEdge;
        const int ly = s->BarHeight + language->TopEdge + language->Height / 2;
        PlatformTest::MovePointer(lx + 8, ly);
        PlatformTest::MovePointer(lx + language->Width - 4, ly);
        Snapshot("menu_open_submenu.png");
        PlatformTest::MovePointer(400, 300);
        PlatformTest::ReleaseButton(IECODE_RBUTTON);
        PlatformTest::WaitIdle();
        deskTrace.push_back("found:" + std::to_string(infoSign > 0 && exitSign > 0));
        deskTrace.push_back("columns apart:" + std::to_string(exitSign - infoSign));
    });
    EXPECT_EQ(deskTrace, (std::vector<std::string>{"found:1", "columns apart:0"}));
}

TEST_F(Menus, AStripLargerThanItsDescriptionKeepsTheFirstEntriesAndSaysSo) {
    std::vector<std::unique_ptr<SubMenu>> many;
    for (int i = 0; i < 120; ++i) {
        many.push_back(std::make_unique<SubMenu>(help.get(), "Entry " + std::to_string(i)));
    }
    ASSERT_NE(Application::menu, nullptr);
    // 3 titles and 7 entries come first: 89 of the new entries fit before the end marker.
    EXPECT_EQ(Label(Item(2, 0)), "Entry 0");
    EXPECT_EQ(Item(2, 62 + 1), nullptr);  // the platform's own limit of 63 items a menu
    EXPECT_TRUE(many.back()->IsLoad());
    const std::vector<std::string> log = TestLog::Lines();
    EXPECT_NE(std::find_if(log.begin(), log.end(),
                           [](const std::string& l) { return l.rfind("MenuBar::Load", 0) == 0; }),
              log.end());
    many.clear();
}

TEST_F(Menus, AClickWhereTheBarIsStoredReachesTheWindowNotTheBar) {
    const tagPOINT stored = bar->GetPosition();
    RunWith([&] {
        PlatformTest::Click(stored.x, stored.y);
        PlatformTest::WaitIdle();
        deskTrace.push_back(Application::CustomsGadgetSel == nullptr ? "no focus" : "focused");
    });
    EXPECT_EQ(deskTrace, (std::vector<std::string>{"no focus"}));
}

TEST_F(Menus, ABarThatGoesTakesItsStripFromTheWindow) {
    Window* w = main->GetHandle();
    bar.reset();
    EXPECT_EQ(Application::menu, nullptr);
    EXPECT_EQ(Application::menuBar, nullptr);
    EXPECT_EQ(w->MenuStrip, nullptr);
}

TEST_F(Menus, ABarThatNeverShowedGoesWithoutTakingTheWindowsStrip) {
    Menu* strip = Application::menu;
    ASSERT_NE(strip, nullptr);
    { MenuBar other(main.get()); }  // a window's bar made and dropped before it loaded
    EXPECT_EQ(Application::menu, strip);
    EXPECT_EQ(Application::menuBar, bar.get());
    EXPECT_EQ(main->GetHandle()->MenuStrip, strip);
    RunWith([&] {
        PlatformTest::TypeKey(kRawI, IEQUALIFIER_LCOMMAND);
        PlatformTest::WaitIdle();
    });
    EXPECT_EQ(deskTrace, (std::vector<std::string>{"&Info...:command"}));
}
