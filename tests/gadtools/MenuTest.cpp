// Menu strips: built from a table, shown on the menu button over the screen's title bar, and
// picked with the pointer or with command keys.
#include <thread>

#include "tests/support/GadToolsDesk.h"

using namespace tessella;

namespace {

int fileData = 1;

const NewMenu kTable[] = {
    {NM_TITLE, "File", nullptr, 0, 0, &fileData},
    {NM_ITEM, "Open...", "O", 0, 0, nullptr},
    {NM_ITEM, NM_BARLABEL, nullptr, 0, 0, nullptr},
    {NM_ITEM, "Quit", "Q", 0, 0, nullptr},
    {NM_TITLE, "Options", nullptr, 0, 0, nullptr},
    {NM_ITEM, "Check", nullptr, CHECKIT | MENUTOGGLE | CHECKED, 0, nullptr},
    {NM_ITEM, "Locked", nullptr, NM_ITEMDISABLED, 0, nullptr},
    {NM_ITEM, "Sound", nullptr, 0, 0, nullptr},
    {NM_SUB, "On", "N", CHECKIT, ~1L, nullptr},
    {NM_SUB, "Off", nullptr, CHECKIT | CHECKED, ~2L, nullptr},
    {NM_END, nullptr, nullptr, 0, 0, nullptr},
};

class Menus : public GadToolsDesk {
protected:
    void SetUp() override {
        GadToolsDesk::SetUp();
        strip = CreateMenus(kTable, GTMN_FrontPen, 1);
        ASSERT_NE(strip, nullptr);
        ASSERT_EQ(LayoutMenusA(strip, vi, nullptr), TRUE);
        ASSERT_EQ(SetMenuStrip(window, strip), TRUE);
    }

    // Screen points of a title and of an item (or sub-item) of the strip.
    void OverTitle(int menu) {
        const Menu* m = MenuAt(menu);
        PlatformTest::MovePointer(m->LeftEdge + m->Width / 2, screen->BarHeight / 2);
    }
    void OverItem(int menu, int item, int sub = -1) {
        const Menu* m = MenuAt(menu);
        const MenuItem* it = ItemAddress(strip, FULLMENUNUM(menu, item, NOSUB));
        int x = m->LeftEdge + it->LeftEdge;
        int y = screen->BarHeight + it->TopEdge;
        if (sub >= 0) {
            const MenuItem* s = ItemAddress(strip, FULLMENUNUM(menu, item, sub));
            x += s->LeftEdge;
            y += s->TopEdge;
            it = s;
        }
        PlatformTest::MovePointer(x + it->Width - 12, y + it->Height / 2);
    }
    Menu* MenuAt(int n) const {
        Menu* m = strip;
        while (n-- > 0) {
            m = m->NextMenu;
        }
        return m;
    }
    // Presses the menu button on the strip's title, goes to the item and lets go there.
    void PickWithPointer(int menu, int item, int sub = -1) {
        OverTitle(menu);
        PlatformTest::PressButton(IECODE_RBUTTON);
        OverItem(menu, item);
        if (sub >= 0) {
            OverItem(menu, item, sub);
        }
        PlatformTest::ReleaseButton(IECODE_RBUTTON);
    }
};

TEST_F(Menus, TheTableBecomesAStripOfTitlesItemsAndSubItems) {
    EXPECT_STREQ(strip->MenuName, "File");
    EXPECT_EQ(GTMENU_USERDATA(strip), &fileData);
    EXPECT_STREQ(MenuAt(1)->MenuName, "Options");
    MenuItem* open = ItemAddress(strip, FULLMENUNUM(0, 0, NOSUB));
    ASSERT_NE(open, nullptr);
    EXPECT_TRUE(open->Flags & COMMSEQ);
    EXPECT_EQ(open->Command, 'O');
    EXPECT_STREQ(static_cast<IntuiText*>(open->ItemFill)->IText, "Open...");
    EXPECT_EQ(static_cast<IntuiText*>(open->ItemFill)->FrontPen, 1);
    MenuItem* bar = ItemAddress(strip, FULLMENUNUM(0, 1, NOSUB));
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(bar->Flags & ITEMTEXT);  // a separator counts as an item
    EXPECT_TRUE(ItemAddress(strip, FULLMENUNUM(1, 0, NOSUB))->Flags & CHECKED);
    EXPECT_FALSE(ItemAddress(strip, FULLMENUNUM(1, 1, NOSUB))->Flags & ITEMENABLED);
    MenuItem* off = ItemAddress(strip, FULLMENUNUM(1, 2, 1));
    ASSERT_NE(off, nullptr);
    EXPECT_STREQ(static_cast<IntuiText*>(off->ItemFill)->IText, "Off");
    EXPECT_EQ(ItemAddress(strip, MENUNULL), nullptr);
    EXPECT_EQ(ItemAddress(strip, FULLMENUNUM(2, 0, NOSUB)), nullptr);
    EXPECT_EQ(ItemAddress(strip, FULLMENUNUM(0, 9, NOSUB)), nullptr);
    EXPECT_EQ(MENUNUM(FULLMENUNUM(1, 2, 1)), 1);
    EXPECT_EQ(ITEMNUM(FULLMENUNUM(1, 2, 1)), 2);
    EXPECT_EQ(SUBNUM(FULLMENUNUM(1, 2, 1)), 1);
    // Titles sit side by side along the bar.
    EXPECT_GT(MenuAt(1)->LeftEdge, strip->LeftEdge + 10);
}

TEST_F(Menus, AMalformedTableMakesNoStrip) {
    const NewMenu orphan[] = {{NM_ITEM, "No title", nullptr, 0, 0, nullptr},
                              {NM_END, nullptr, nullptr, 0, 0, nullptr}};
    ULONG error = 0;
    EXPECT_EQ(CreateMenus(orphan, GTMN_SecondaryError, &error), nullptr);
    EXPECT_EQ(error, static_cast<ULONG>(GTMENU_INVALID));
    const NewMenu stray[] = {{NM_TITLE, "T", nullptr, 0, 0, nullptr},
                             {NM_SUB, "No item", nullptr, 0, 0, nullptr},
                             {NM_END, nullptr, nullptr, 0, 0, nullptr}};
    EXPECT_EQ(CreateMenus(stray, TAG_DONE), nullptr);
}

TEST_F(Menus, ReleasingOverAnItemPicksItInsteadOfAMenuButtonMessage) {
    PickWithPointer(0, 2);
    const auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_MENUPICK);
    EXPECT_EQ(got[0].code, FULLMENUNUM(0, 2, NOSUB));
    EXPECT_EQ(ItemAddress(strip, got[0].code)->NextSelect, MENUNULL);
}

TEST_F(Menus, ReleasingElsewhereOrOverADisabledItemPicksNothing) {
    OverTitle(0);
    PlatformTest::PressButton(IECODE_RBUTTON);
    PlatformTest::MovePointer(500, 300);
    PlatformTest::ReleaseButton(IECODE_RBUTTON);
    PickWithPointer(1, 1);  // disabled
    PickWithPointer(0, 1);  // the separator
    const auto got = Drain();
    ASSERT_EQ(got.size(), 3u);
    for (const Got& g : got) {
        EXPECT_EQ(g.cls, IDCMP_MENUPICK);
        EXPECT_EQ(g.code, MENUNULL);
    }
}

TEST_F(Menus, ACheckableItemChangesItsMarkBeforeThePickArrives) {
    MenuItem* check = ItemAddress(strip, FULLMENUNUM(1, 0, NOSUB));
    PickWithPointer(1, 0);
    auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].code, FULLMENUNUM(1, 0, NOSUB));
    EXPECT_FALSE(check->Flags & CHECKED);  // a toggle: checked before, now not
    PickWithPointer(1, 0);
    Drain();
    EXPECT_TRUE(check->Flags & CHECKED);

    // Radio-like sub-items: picking "On" takes the mark from "Off".
    PickWithPointer(1, 2, 0);
    got = Drain();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].code, FULLMENUNUM(1, 2, 0));
    EXPECT_TRUE(ItemAddress(strip, FULLMENUNUM(1, 2, 0))->Flags & CHECKED);
    EXPECT_FALSE(ItemAddress(strip, FULLMENUNUM(1, 2, 1))->Flags & CHECKED);
}

TEST_F(Menus, SeveralPicksInOnePressChainThroughNextSelect) {
    OverTitle(0);
    PlatformTest::PressButton(IECODE_RBUTTON);
    OverItem(0, 0);
    PlatformTest::PressButton(IECODE_LBUTTON);
    PlatformTest::ReleaseButton(IECODE_LBUTTON);
    OverTitle(1);
    OverItem(1, 0);
    PlatformTest::PressButton(IECODE_LBUTTON);
    PlatformTest::ReleaseButton(IECODE_LBUTTON);
    OverTitle(0);
    OverItem(0, 2);
    PlatformTest::ReleaseButton(IECODE_RBUTTON);
    const auto got = Drain();
    ASSERT_EQ(got.size(), 1u);
    UWORD code = got[0].code;
    std::vector<UWORD> chain;
    while (code != MENUNULL && chain.size() < 5) {
        chain.push_back(code);
        code = ItemAddress(strip, code)->NextSelect;
    }
    const std::vector<UWORD> expected = {FULLMENUNUM(0, 0, NOSUB), FULLMENUNUM(1, 0, NOSUB),
                                         FULLMENUNUM(0, 2, NOSUB)};
    EXPECT_EQ(chain, expected);
}

TEST_F(Menus, CommandKeysPickWithSuperOrCtrlButNotAlt) {
    PlatformTest::TypeKey(0x10, IEQUALIFIER_LCOMMAND);  // q
    PlatformTest::TypeKey(0x18, IEQUALIFIER_CONTROL);   // o
    PlatformTest::TypeKey(0x36, IEQUALIFIER_RCOMMAND);  // n, a sub-item's key
    PlatformTest::TypeKey(0x10, IEQUALIFIER_LALT);
    PlatformTest::TypeKey(0x20, IEQUALIFIER_LCOMMAND);  // a: no item has it
    const auto got = Drain();
    const auto picks = Only(got, IDCMP_MENUPICK);
    ASSERT_EQ(picks.size(), 3u);
    EXPECT_EQ(picks[0].code, FULLMENUNUM(0, 2, NOSUB));
    EXPECT_EQ(picks[1].code, FULLMENUNUM(0, 0, NOSUB));
    EXPECT_EQ(picks[2].code, FULLMENUNUM(1, 2, 0));
    // The Alt key and the unknown command reach the window as raw keys (down and up), as do
    // the releases of the keys that picked.
    const auto keys = Only(got, IDCMP_RAWKEY);
    EXPECT_EQ(keys.size(), 7u);
}

TEST_F(Menus, AWindowThatTrapsTheMenuButtonOrHasNoStripGetsTheButton) {
    ClearMenuStrip(window);
    OverTitle(0);
    PlatformTest::PressButton(IECODE_RBUTTON);
    PlatformTest::ReleaseButton(IECODE_RBUTTON);
    auto got = Drain();
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].cls, IDCMP_MOUSEBUTTONS);
    EXPECT_EQ(got[0].code, MENUDOWN);
    EXPECT_EQ(got[1].code, MENUUP);

    Window* trap = OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 300, WA_Top, 200,
                                  WA_Width, 200, WA_Height, 100, WA_Flags,
                                  WFLG_ACTIVATE | WFLG_RMBTRAP, WA_IDCMP, IDCMP_MOUSEBUTTONS);
    ASSERT_NE(trap, nullptr);
    SetMenuStrip(trap, strip);
    PlatformTest::Click(350, 250, IECODE_RBUTTON);
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    int buttons = 0;
    while (IntuiMessage* m = GT_GetIMsg(trap->UserPort)) {
        buttons += m->Class == IDCMP_MOUSEBUTTONS;
        GT_ReplyIMsg(m);
    }
    EXPECT_EQ(buttons, 2);
    ClearMenuStrip(trap);
    CloseWindow(trap);
}

TEST_F(Menus, TheShownStripCoversTheTitleBarAndLightsTheItemUnderThePointer) {
    const LONG before = PlatformTest::ReadScreenPixel(400, 2);
    OverTitle(0);
    PlatformTest::PressButton(IECODE_RBUTTON);
    OverItem(0, 2);
    ASSERT_TRUE(PlatformTest::WaitIdle());
    EXPECT_EQ(PlatformTest::ReadScreenPixel(400, 2), 2);  // the strip's light pen
    const MenuItem* quit = ItemAddress(strip, FULLMENUNUM(0, 2, NOSUB));
    const int x = strip->LeftEdge + quit->LeftEdge + quit->Width - 3;
    const int y = screen->BarHeight + quit->TopEdge + 1;
    EXPECT_EQ(PlatformTest::ReadScreenPixel(x, y), 3);  // lit
    const MenuItem* open = ItemAddress(strip, FULLMENUNUM(0, 0, NOSUB));
    EXPECT_EQ(PlatformTest::ReadScreenPixel(x, screen->BarHeight + open->TopEdge + 1), 2);
    PlatformTest::SaveScreenPNG("gadtools_open_menu.png");
    PlatformTest::MovePointer(500, 300);
    PlatformTest::ReleaseButton(IECODE_RBUTTON);
    Drain();
    EXPECT_EQ(PlatformTest::ReadScreenPixel(400, 2), before);
}

TEST_F(Menus, ClearingTheStripWhileItIsShownTakesItDown) {
    OverTitle(0);
    PlatformTest::PressButton(IECODE_RBUTTON);
    OverItem(0, 0);
    ASSERT_TRUE(PlatformTest::WaitIdle());
    EXPECT_EQ(PlatformTest::ReadScreenPixel(400, 2), 2);
    std::thread other([&] { ClearMenuStrip(window); });
    other.join();
    FreeMenus(strip);
    strip = nullptr;
    EXPECT_NE(PlatformTest::ReadScreenPixel(400, 2), 2);
    PlatformTest::ReleaseButton(IECODE_RBUTTON);
    EXPECT_TRUE(Only(Drain(), IDCMP_MENUPICK).empty());
}

TEST_F(Menus, AMenuNearTheRightEdgeOpensLeftToStayOnTheScreen) {
    const NewMenu wide[] = {
        {NM_TITLE, "A", nullptr, 0, 0, nullptr},
        {NM_TITLE, "B", nullptr, 0, 0, nullptr},
        {NM_ITEM, "A rather long item that needs a wide menu box", nullptr, 0, 0, nullptr},
        {NM_END, nullptr, nullptr, 0, 0, nullptr}};
    Menu* m = CreateMenus(wide, TAG_DONE);
    ASSERT_NE(m, nullptr);
    ASSERT_EQ(LayoutMenusA(m, vi, nullptr), TRUE);
    m->NextMenu->LeftEdge = static_cast<WORD>(screen->Width - 30);  // as if many titles came first
    ASSERT_EQ(LayoutMenusA(m, vi, nullptr), TRUE);
    const MenuItem* item = m->NextMenu->FirstItem;
    EXPECT_LE(m->NextMenu->LeftEdge + item->LeftEdge + item->Width, screen->Width);
    EXPECT_EQ(LayoutMenusA(m, nullptr, nullptr), FALSE);
    FreeMenus(m);
}

TEST_F(Menus, ItemsAndMenusSwitchedOffCannotBePickedByPointerOrKey) {
    OffMenu(window, FULLMENUNUM(0, 2, NOSUB));  // Quit
    PickWithPointer(0, 2);
    PlatformTest::TypeKey(0x10, IEQUALIFIER_LCOMMAND);  // its key, q
    auto got = Drain();
    ASSERT_EQ(Only(got, IDCMP_MENUPICK).size(), 1u);
    EXPECT_EQ(Only(got, IDCMP_MENUPICK)[0].code, MENUNULL);
    EXPECT_EQ(Only(got, IDCMP_RAWKEY).size(), 2u);  // the key reaches the window instead
    OnMenu(window, FULLMENUNUM(0, 2, NOSUB));
    OffMenu(window, FULLMENUNUM(1, NOITEM, NOSUB));  // the whole Options menu
    PickWithPointer(0, 2);
    PickWithPointer(1, 0);
    got = Only(Drain(), IDCMP_MENUPICK);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].code, FULLMENUNUM(0, 2, NOSUB));
    EXPECT_EQ(got[1].code, MENUNULL);
    EXPECT_TRUE(ItemAddress(strip, FULLMENUNUM(1, 0, NOSUB))->Flags & CHECKED);  // untouched
}

}  // namespace
