// What the desktop hands the program besides keys and clicks: clipboard text pasted into text
// fields, and files dropped on the window.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/intuition/Presenter.h"
#include "tests/support/GadToolsDesk.h"
#include "tests/support/KeyText.h"
#include "workbench.h"

using namespace tessella;

namespace {

using Desk = GadToolsDesk;
using tessella::intuition::PasteText;
using tessella::intuition::PasteWanted;

TEST(PasteText, KeepsWhatCanBeTypedOnOneLine) {
    EXPECT_EQ(PasteText("Lettera \xC3\xA0 Zo\xC3\xAB\r\n.velx"), "Lettera \xE0 Zo\xEB.velx");
    EXPECT_EQ(PasteText("a\tb\xE2\x82\xAC"
                        "c\x7F\xC2\x85"
                        "d"),
              "abcd");  // tab, euro, DEL, NEL
    EXPECT_EQ(PasteText(std::string(5000, 'x')).size(), tessella::intuition::kPasteLimit);
}

// With Ctrl held, as it is while pasting, the characters still type; the menu's command key
// for the same letter is not picked.
TEST_F(Desk, PastedTextTypesIntoTheActiveStringGadget) {
    static const NewMenu menu[] = {{NM_TITLE, "Edit", nullptr, 0, 0, nullptr},
                                   {NM_ITEM, "All", "A", 0, 0, nullptr},
                                   {NM_END, nullptr, nullptr, 0, 0, nullptr}};
    strip = CreateMenus(menu, TAG_DONE);
    ASSERT_NE(strip, nullptr);
    ASSERT_EQ(LayoutMenusA(strip, vi, nullptr), TRUE);
    ASSERT_EQ(SetMenuStrip(window, strip), TRUE);
    Gadget* field = Add(STRING_KIND, At(80, 100, 200, 18, 5), GTST_String, "x", GTST_MaxChars, 40);
    ASSERT_NE(field, nullptr);
    ClickIn(field);
    Drain();
    PlatformTest::PressKey(RAWKEY_CONTROL);
    PlatformTest::Paste("Alba \xC3\xA0\nZo\xC3\xAB");
    PlatformTest::ReleaseKey(RAWKEY_CONTROL);
    EXPECT_TRUE(Only(Drain(), IDCMP_MENUPICK).empty());
    EXPECT_STREQ(reinterpret_cast<const char*>(Attr(field, GTST_String)), "xAlba \xE0Zo\xEB");
    // The same keys still pick the item when they are typed.
    PlatformTest::TypeKey(0x20, IEQUALIFIER_LCOMMAND);
    EXPECT_EQ(Only(Drain(), IDCMP_MENUPICK).size(), 1u);
}

// A text box the program draws itself gets the characters as raw keys without qualifiers.
TEST_F(Desk, PastedTextReachesTheWindowAsTypedKeys) {
    ActivateWindow(window);
    PlatformTest::PressKey(RAWKEY_LSHIFT);
    PlatformTest::Paste("a\xC3\xA9");
    PlatformTest::ReleaseKey(RAWKEY_LSHIFT);
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    std::string typed;
    int releases = 0;
    while (IntuiMessage* m = GT_GetIMsg(window->UserPort)) {
        if (m->Class == IDCMP_RAWKEY && (m->Code & 0x7F) != RAWKEY_LSHIFT) {
            EXPECT_EQ(m->Qualifier & (IEQUALIFIER_LSHIFT | IEQUALIFIER_CONTROL), 0);
            typed += KeyText(m);
            releases += (m->Code & IECODE_UP_PREFIX) ? 1 : 0;
        }
        GT_ReplyIMsg(m);
    }
    EXPECT_EQ(typed, "a\xE9");
    EXPECT_EQ(releases, 2);
}

TEST_F(Desk, TheAmigaKeyPastesOnlyIntoATextFieldAndCommandKeysKeepTheirLetter) {
    EXPECT_FALSE(PasteWanted(true, 'v'));  // Amiga-V answers requesters, picks menu items
    EXPECT_TRUE(PasteWanted(false, 'v'));
    Gadget* field = Add(STRING_KIND, At(80, 100, 200, 18, 5), GTST_MaxChars, 40);
    ClickIn(field);
    Drain();
    EXPECT_TRUE(PasteWanted(true, 'v'));
    static const NewMenu menu[] = {{NM_TITLE, "Edit", nullptr, 0, 0, nullptr},
                                   {NM_ITEM, "View", "V", 0, 0, nullptr},
                                   {NM_END, nullptr, nullptr, 0, 0, nullptr}};
    strip = CreateMenus(menu, TAG_DONE);
    ASSERT_EQ(LayoutMenusA(strip, vi, nullptr), TRUE);
    ASSERT_EQ(SetMenuStrip(window, strip), TRUE);
    EXPECT_FALSE(PasteWanted(false, 'v'));  // Ctrl-V is that item's
    EXPECT_TRUE(PasteWanted(false, 0));     // Shift-Insert names no letter
}

// Files dropped on the desktop window reach the AppWindow under the pointer, or the program's
// first AppWindow, as Latin-1 paths; names Latin-1 cannot spell are left out.
TEST_F(Desk, DroppedFilesArriveAsOneAppMessage) {
    MsgPort* port = CreateMsgPort();
    ASSERT_NE(port, nullptr);
    AppWindow* app = AddAppWindowA(7, 0xABC, window, port, nullptr);
    ASSERT_NE(app, nullptr);
    PlatformTest::MovePointer(window->LeftEdge + 30, window->TopEdge + 40);
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    const int beeps = PlatformTest::BeepCount();
    ASSERT_TRUE(PlatformTest::DropFiles(
        {"/tmp/Lettera \xC3\xA0 Zo\xC3\xAB.velx", "/tmp/\xE6\x97\xA5.txt", "/tmp/b.txt"}));
    EXPECT_EQ(PlatformTest::BeepCount(), beeps + 1);
    auto* m = reinterpret_cast<AppMessage*>(GetMsg(port));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->am_Type, AMTYPE_APPWINDOW);
    EXPECT_EQ(m->am_ID, 7u);
    EXPECT_EQ(m->am_UserData, 0xABCu);
    EXPECT_EQ(m->am_MouseX, 30);
    EXPECT_EQ(m->am_MouseY, 40);
    ASSERT_EQ(m->am_NumArgs, 2);
    EXPECT_STREQ(m->am_ArgList[0].wa_Name, "/tmp/Lettera \xE0 Zo\xEB.velx");
    EXPECT_STREQ(m->am_ArgList[1].wa_Name, "/tmp/b.txt");
    EXPECT_EQ(m->am_ArgList[0].wa_Lock, nullptr);
    ReplyMsg(&m->am_Message);
    EXPECT_EQ(GetMsg(port), nullptr);

    // Over a window that takes no drops, the first AppWindow still gets them.
    Window* other = OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, 300, WA_Top, 200,
                                   WA_Width, 100, WA_Height, 80, WA_IDCMP, 0);
    ASSERT_NE(other, nullptr);
    PlatformTest::MovePointer(320, 220);
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    EXPECT_TRUE(PlatformTest::DropFiles({"/tmp/c.txt"}));
    m = reinterpret_cast<AppMessage*>(GetMsg(port));
    ASSERT_NE(m, nullptr);
    EXPECT_STREQ(m->am_ArgList[0].wa_Name, "/tmp/c.txt");
    ReplyMsg(&m->am_Message);
    CloseWindow(other);

    EXPECT_FALSE(PlatformTest::DropFiles({"/tmp/\xE6\x97\xA5.txt"}));  // nothing left to send
    EXPECT_EQ(RemoveAppWindow(app), TRUE);
    EXPECT_EQ(RemoveAppWindow(app), FALSE);
    EXPECT_FALSE(PlatformTest::DropFiles({"/tmp/d.txt"}));  // no AppWindow any more
    EXPECT_EQ(GetMsg(port), nullptr);
    DeleteMsgPort(port);
}

}  // namespace
