// Screens, windows, composition and the input task, driven through the test interface.
#include <gtest/gtest.h>
#include <png.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "dos.h"
#include "intuition.h"
#include "platform_test.h"
#include "tests/support/KeyText.h"
#include "tests/support/PenColours.h"

using namespace tessella;

namespace {

struct Received {
    ULONG cls;
    UWORD code;
    UWORD qualifier;
    WORD x;
    WORD y;
    bool hasAddress;
    std::string text;  // what MapRawKey makes of a raw key
};

// Takes every waiting message, translating raw keys the way the event loop does, and replies.
std::vector<Received> Drain(Window* w) {
    EXPECT_TRUE(PlatformTest::WaitInputDrained());
    std::vector<Received> all;
    while (auto* m = reinterpret_cast<IntuiMessage*>(GetMsg(w->UserPort))) {
        Received r{m->Class, m->Code, m->Qualifier, m->MouseX, m->MouseY, m->IAddress != nullptr,
                   ""};
        if (m->Class == IDCMP_RAWKEY) {
            r.text = KeyText(m);
        }
        all.push_back(r);
        ReplyMsg(&m->ExecMessage);
    }
    return all;
}

std::vector<Received> OfClass(const std::vector<Received>& all, ULONG cls) {
    std::vector<Received> some;
    for (const Received& r : all) {
        if (r.cls == cls) {
            some.push_back(r);
        }
    }
    return some;
}

constexpr ULONG kDialogFlags = WFLG_DRAGBAR | WFLG_CLOSEGADGET | WFLG_DEPTHGADGET | WFLG_ACTIVATE;

class Desk : public ::testing::Test {
protected:
    void SetUp() override {
        screen = OpenScreenTags(nullptr, SA_Width, 320, SA_Height, 200, SA_Depth, 8, SA_Title,
                                "Desk", SA_Type, CUSTOMSCREEN, SA_BlockPen, 2, SA_DetailPen, 1);
        ASSERT_NE(screen, nullptr);
        tessella::testing::LoadPenColours(screen);
    }

    void TearDown() override {
        for (Window* w : windows) {
            CloseWindow(w);
        }
        EXPECT_EQ(CloseScreen(screen), TRUE);
        EXPECT_TRUE(PlatformTest::WaitIdle());
    }

    Window* Dialog(int left, int top, int innerW, int innerH, ULONG idcmp, const char* title,
                   ULONG extraFlags = 0) {
        Window* w = OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, left, WA_Top, top,
                                   WA_InnerWidth, innerW, WA_InnerHeight, innerH, WA_Title, title,
                                   WA_Flags, kDialogFlags | extraFlags, WA_IDCMP, idcmp);
        EXPECT_NE(w, nullptr);
        windows.push_back(w);
        return w;
    }

    Window* Backdrop(ULONG idcmp) {
        Window* w = OpenWindowTags(
            nullptr, WA_CustomScreen, screen, WA_Left, 0, WA_Top, 0, WA_Width, 320, WA_Height, 200,
            WA_Flags, WFLG_BACKDROP | WFLG_BORDERLESS | WFLG_REPORTMOUSE, WA_IDCMP, idcmp);
        EXPECT_NE(w, nullptr);
        windows.push_back(w);
        return w;
    }

    void Close(Window* w) {
        CloseWindow(w);
        windows.erase(std::find(windows.begin(), windows.end(), w));
    }

    static void FillInner(Window* w, ULONG pen) {
        SetAPen(w->RPort, pen);
        RectFill(w->RPort, w->BorderLeft, w->BorderTop, w->Width - w->BorderRight - 1,
                 w->Height - w->BorderBottom - 1);
    }

    Screen* screen = nullptr;
    std::vector<Window*> windows;
};

TEST_F(Desk, WindowsComposeInDepthOrderWithTheirFrames) {
    Window* back = Backdrop(0);
    SetAPen(back->RPort, 4);
    RectFill(back->RPort, 0, 0, 319, 199);
    Window* a = Dialog(40, 30, 100, 60, 0, "First");
    Window* b = Dialog(90, 60, 100, 60, 0, "Second");
    FillInner(a, 5);
    FillInner(b, 6);

    EXPECT_EQ(a->BorderLeft, 4);
    EXPECT_EQ(a->BorderTop, 14);
    EXPECT_EQ(a->Width, 100 + a->BorderLeft + a->BorderRight);
    EXPECT_EQ(a->Height, 60 + a->BorderTop + a->BorderBottom);
    EXPECT_EQ(back->BorderTop, 0);
    ASSERT_NE(screen->Font, nullptr);  // the font that sizes title bars, for gadget layout
    EXPECT_EQ(a->BorderTop, screen->WBorTop + screen->Font->ta_YSize + 1);

    EXPECT_EQ(PlatformTest::ReadScreenPixel(5, 150), 4);   // backdrop
    EXPECT_EQ(PlatformTest::ReadScreenPixel(300, 5), 2);   // screen bar over the backdrop
    EXPECT_EQ(PlatformTest::ReadScreenPixel(5, 12), 1);    // its bottom line
    EXPECT_EQ(PlatformTest::ReadScreenPixel(60, 50), 5);   // first window's inside
    EXPECT_EQ(PlatformTest::ReadScreenPixel(120, 80), 6);  // overlap: the second is in front
    // Frames: raised outer edge, active title bar for the second, inactive for the first.
    EXPECT_EQ(PlatformTest::ReadScreenPixel(40, 30), 2);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(40 + a->Width - 1, 30 + 20), 1);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(90 + 60, 60 + 3), 3);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(40 + 40, 30 + 3), 0);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(40 + 2, 30 + 40), 0);  // left border, inactive

    WindowToFront(a);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(120, 80), 5);
    WindowToBack(a);  // behind b, still in front of the backdrop
    EXPECT_EQ(PlatformTest::ReadScreenPixel(120, 80), 6);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(60, 50), 5);
    MoveWindowInFrontOf(a, b);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(120, 80), 5);
    WindowToFront(back);  // a backdrop never comes in front of other windows
    EXPECT_EQ(PlatformTest::ReadScreenPixel(60, 50), 5);

    // Drawing into one window never shows through another.
    SetAPen(b->RPort, 9);
    RectFill(b->RPort, 0, 0, b->Width - 1, b->Height - 1);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(120, 80), 5);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(180, 110), 9);
}

TEST_F(Desk, ClicksReachOnlyTheWindowsThatAskedWithRelativeCoordinates) {
    Window* plain = Dialog(10, 20, 120, 80, IDCMP_MOUSEBUTTONS, "Plain");
    Window* picky = Dialog(170, 20, 120, 80, IDCMP_ACTIVEWINDOW | IDCMP_INACTIVEWINDOW, "Picky");
    Drain(plain);
    Drain(picky);

    PlatformTest::Click(10 + 25, 20 + 30);
    PlatformTest::TypeKey(0x20);  // 'a': nobody asked for raw keys
    auto gotPlain = Drain(plain);
    ASSERT_EQ(gotPlain.size(), 2u);
    EXPECT_EQ(gotPlain[0].cls, IDCMP_MOUSEBUTTONS);
    EXPECT_EQ(gotPlain[0].code, SELECTDOWN);
    EXPECT_EQ(gotPlain[0].x, 25);
    EXPECT_EQ(gotPlain[0].y, 30);
    EXPECT_TRUE(gotPlain[0].qualifier & IEQUALIFIER_LEFTBUTTON);
    EXPECT_EQ(gotPlain[1].code, SELECTUP);
    EXPECT_FALSE(gotPlain[1].qualifier & IEQUALIFIER_LEFTBUTTON);
    auto gotPicky = Drain(picky);
    ASSERT_EQ(gotPicky.size(), 1u);
    EXPECT_EQ(gotPicky[0].cls, IDCMP_INACTIVEWINDOW);

    PlatformTest::Click(170 + 50, 20 + 50);
    EXPECT_TRUE(Drain(plain).empty());  // no class of its own: no INACTIVEWINDOW, no clicks
    gotPicky = Drain(picky);
    ASSERT_EQ(gotPicky.size(), 1u);
    EXPECT_EQ(gotPicky[0].cls, IDCMP_ACTIVEWINDOW);
    EXPECT_EQ(picky->Flags & WFLG_WINDOWACTIVE, WFLG_WINDOWACTIVE);
    EXPECT_EQ(plain->Flags & WFLG_WINDOWACTIVE, 0UL);

    // The menu button goes to the active window, wherever the pointer is.
    PlatformTest::Click(10 + 25, 20 + 30);
    Drain(plain);
    Drain(picky);
    PlatformTest::Click(300, 150, IECODE_RBUTTON);
    gotPlain = Drain(plain);
    ASSERT_EQ(gotPlain.size(), 2u);
    EXPECT_EQ(gotPlain[0].code, MENUDOWN);
    EXPECT_TRUE(gotPlain[0].qualifier & IEQUALIFIER_RBUTTON);
    EXPECT_EQ(gotPlain[1].code, MENUUP);
    EXPECT_EQ(gotPlain[1].x, 300 - 10);
    EXPECT_TRUE(PlatformTest::WaitIdle());
}

TEST_F(Desk, PointerMovesAreReportedOnlyWhenTheWindowAsksForThem) {
    Window* back = Backdrop(IDCMP_MOUSEMOVE | IDCMP_MOUSEBUTTONS);
    PlatformTest::Click(100, 100);
    Drain(back);
    PlatformTest::MovePointer(110, 120);
    PlatformTest::MovePointer(111, 121);
    auto moves = OfClass(Drain(back), IDCMP_MOUSEMOVE);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(moves[1].x, 111);
    EXPECT_EQ(moves[1].y, 121);
    EXPECT_FALSE(moves[1].hasAddress);
    EXPECT_EQ(screen->MouseX, 111);
    EXPECT_EQ(back->MouseY, 121);

    // A program that does not keep up gets at most its mouse queue of moves, never a pile;
    // the window's own MouseX/MouseY still follow the pointer.
    for (int i = 0; i < 20; ++i) {
        PlatformTest::MovePointer(20 + i, 30);
    }
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    EXPECT_EQ(back->MouseX, 39);
    moves = OfClass(Drain(back), IDCMP_MOUSEMOVE);
    EXPECT_EQ(moves.size(), 5u);
    PlatformTest::MovePointer(50, 60);
    EXPECT_EQ(OfClass(Drain(back), IDCMP_MOUSEMOVE).size(), 1u);  // replied: room again

    Window* quiet = Dialog(50, 50, 100, 100, IDCMP_MOUSEMOVE | IDCMP_MOUSEBUTTONS, "Quiet");
    Drain(quiet);
    PlatformTest::MovePointer(90, 110);
    PlatformTest::MovePointer(95, 115);
    EXPECT_TRUE(OfClass(Drain(quiet), IDCMP_MOUSEMOVE).empty());
    EXPECT_TRUE(Drain(back).empty());  // not active
}

TEST_F(Desk, FrameGadgetsCloseDragAndArrange) {
    Window* a = Dialog(20, 30, 100, 60, IDCMP_CLOSEWINDOW | IDCMP_MOUSEBUTTONS, "Gadgets");
    Window* b = Dialog(60, 50, 100, 60, 0, "Other");
    FillInner(a, 5);
    FillInner(b, 6);

    // Close gadget: only a release over it counts.
    PlatformTest::MovePointer(20 + 5, 30 + 5);
    PlatformTest::PressButton();
    PlatformTest::MovePointer(20 + 60, 30 + 40);
    PlatformTest::ReleaseButton();
    EXPECT_TRUE(OfClass(Drain(a), IDCMP_CLOSEWINDOW).empty());
    PlatformTest::Click(20 + 5, 30 + 5);
    auto got = Drain(a);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_CLOSEWINDOW);

    // Depth gadget: a covered window comes to the front, a front one goes to the back.
    EXPECT_EQ(PlatformTest::ReadScreenPixel(100, 90), 6);
    PlatformTest::Click(20 + a->Width - 5, 30 + 5);
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    EXPECT_EQ(PlatformTest::ReadScreenPixel(100, 90), 5);
    PlatformTest::Click(20 + a->Width - 5, 30 + 5);
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    EXPECT_EQ(PlatformTest::ReadScreenPixel(100, 90), 6);

    // Drag bar: the window follows the pointer.
    PlatformTest::MovePointer(20 + 50, 30 + 5);
    PlatformTest::PressButton();
    PlatformTest::MovePointer(20 + 50 + 100, 30 + 5 + 70);
    PlatformTest::ReleaseButton();
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    EXPECT_EQ(a->LeftEdge, 120);
    EXPECT_EQ(a->TopEdge, 100);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(130, 130), 5);
    EXPECT_TRUE(OfClass(Drain(a), IDCMP_MOUSEBUTTONS).empty());  // the frame took the clicks
}

TEST_F(Desk, ResizingKeepsThePictureAndReportsTheNewSize) {
    Window* w = OpenWindowTags(
        nullptr, WA_CustomScreen, screen, WA_Left, 10, WA_Top, 20, WA_Width, 100, WA_Height, 80,
        WA_Title, "Size", WA_Flags, kDialogFlags | WFLG_SIZEGADGET, WA_IDCMP,
        IDCMP_NEWSIZE | IDCMP_REFRESHWINDOW, WA_MinWidth, 50, WA_MinHeight, 40);
    ASSERT_NE(w, nullptr);
    windows.push_back(w);
    FillInner(w, 7);
    ChangeWindowBox(w, 30, 40, 150, 120);
    EXPECT_EQ(w->LeftEdge, 30);
    EXPECT_EQ(w->Width, 150);
    auto got = Drain(w);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].cls, IDCMP_NEWSIZE);
    EXPECT_EQ(got[1].cls, IDCMP_REFRESHWINDOW);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(30 + 50, 40 + 40), 7);    // kept
    EXPECT_EQ(PlatformTest::ReadScreenPixel(30 + 120, 40 + 100), 0);  // new area

    ChangeWindowBox(w, 30, 40, 10, 10);  // never below the minimum
    EXPECT_EQ(w->Width, 50);
    EXPECT_EQ(w->Height, 40);
    ASSERT_EQ(Drain(w).size(), 1u);  // shrinking needs no refresh

    // The size gadget in the bottom-right corner.
    PlatformTest::MovePointer(30 + 50 - 3, 40 + 40 - 3);
    PlatformTest::PressButton();
    PlatformTest::MovePointer(30 + 90 - 3, 40 + 70 - 3);
    PlatformTest::ReleaseButton();
    got = Drain(w);
    EXPECT_EQ(w->Width, 90);
    EXPECT_EQ(w->Height, 70);
    ASSERT_FALSE(got.empty());
    EXPECT_EQ(got[0].cls, IDCMP_NEWSIZE);

    ZipWindow(w);
    EXPECT_EQ(w->Width, 320);
    EXPECT_EQ(w->Height, 200);
    ZipWindow(w);
    EXPECT_EQ(w->Width, 90);
    EXPECT_EQ(w->LeftEdge, 30);
    Drain(w);
}

TEST_F(Desk, RawKeysBecomeCharactersThroughTheKeymap) {
    Window* w = Dialog(10, 20, 200, 100, IDCMP_RAWKEY, "Keys");
    ASSERT_TRUE(PlatformTest::TypeText("Hi, 5!"));
    auto got = Drain(w);
    std::string typed;
    int downs = 0;
    for (const Received& r : got) {
        EXPECT_EQ(r.cls, IDCMP_RAWKEY);
        EXPECT_TRUE(r.hasAddress);
        if (!(r.code & IECODE_UP_PREFIX)) {
            ++downs;
            typed += r.text;
        } else {
            EXPECT_TRUE(r.text.empty());  // releases give no characters
        }
    }
    EXPECT_EQ(downs, 6);
    EXPECT_EQ(typed, "Hi, 5!");
    ASSERT_TRUE(PlatformTest::TypeText("citt\xE0 \xD1\xA0\xDF"));  // dead keys and Alt layers
    typed.clear();
    for (const Received& r : Drain(w)) {
        if (!(r.code & IECODE_UP_PREFIX)) {
            typed += r.text;
        }
    }
    EXPECT_EQ(typed, "citt\xE0 \xD1\xA0\xDF");
    EXPECT_FALSE(PlatformTest::TypeText("\x80"));
    EXPECT_EQ(got[0].code, 0x25);  // H
    EXPECT_TRUE(got[0].qualifier & IEQUALIFIER_LSHIFT);

    // Special keys, Alt characters, and a dead key before a vowel.
    PlatformTest::TypeKey(RAWKEY_RETURN);
    PlatformTest::TypeKey(RAWKEY_BACKSPACE);
    PlatformTest::TypeKey(RAWKEY_ESCAPE);
    PlatformTest::TypeKey(RAWKEY_DELETE);
    PlatformTest::TypeKey(RAWKEY_TAB);
    PlatformTest::TypeKey(RAWKEY_UP);
    PlatformTest::TypeKey(RAWKEY_LEFT, IEQUALIFIER_LSHIFT);
    PlatformTest::TypeKey(RAWKEY_F1);
    PlatformTest::TypeKey(RAWKEY_F10, IEQUALIFIER_RSHIFT);
    PlatformTest::TypeKey(RAWKEY_HELP);
    PlatformTest::TypeKey(0x21, IEQUALIFIER_LALT);  // Alt+S
    PlatformTest::TypeKey(0x23, IEQUALIFIER_LALT);  // Alt+F: acute, dead
    PlatformTest::TypeKey(0x12);                    // e
    PlatformTest::PressKey(RAWKEY_CONTROL);
    PlatformTest::TypeKey(0x33);  // Ctrl+C
    PlatformTest::ReleaseKey(RAWKEY_CONTROL);
    std::vector<std::string> texts;
    const auto more = Drain(w);
    for (const Received& r : more) {
        if (!(r.code & IECODE_UP_PREFIX) && r.code != RAWKEY_CONTROL) {
            texts.push_back(r.text);
        }
    }
    ASSERT_FALSE(more.empty());
    const std::string csi = "\x9B";
    const std::vector<std::string> expected = {
        "\r",       "\b",        "\x1B",     "\x7F", "\t", csi + "A", csi + " @",
        csi + "0~", csi + "19~", csi + "?~", "\xDF", "",   "\xE9",    "\x03"};
    EXPECT_EQ(texts, expected);
}

std::string Map(UWORD code, UWORD qualifier, const DeadKeyPrefix* prefix = nullptr) {
    InputEvent ie{};
    ie.ie_Class = IECLASS_RAWKEY;
    ie.ie_Code = code;
    ie.ie_Qualifier = qualifier;
    ie.ie_EventAddress = const_cast<DeadKeyPrefix*>(prefix);
    char buffer[8];
    const WORD n = MapRawKey(&ie, buffer, sizeof(buffer), nullptr);
    return n < 0 ? "<overflow>" : std::string(buffer, n);
}

TEST(Keymap, LayersOfTheUsKeymap) {
    EXPECT_EQ(Map(0x10, 0), "q");
    EXPECT_EQ(Map(0x10, IEQUALIFIER_RSHIFT), "Q");
    EXPECT_EQ(Map(0x10, IEQUALIFIER_LALT), "\xE5");
    EXPECT_EQ(Map(0x10, IEQUALIFIER_LALT | IEQUALIFIER_LSHIFT), "\xC5");
    EXPECT_EQ(Map(0x0A, IEQUALIFIER_LSHIFT), ")");
    EXPECT_EQ(Map(0x2A, IEQUALIFIER_LSHIFT), "\"");
    EXPECT_EQ(Map(0x1D, 0), "1");  // numeric pad
    EXPECT_EQ(Map(0x5D, 0), "*");
    EXPECT_EQ(Map(RAWKEY_ENTER, 0), "\r");
    EXPECT_EQ(Map(RAWKEY_RETURN, IEQUALIFIER_CONTROL), "\n");
    EXPECT_EQ(Map(RAWKEY_SPACE, IEQUALIFIER_RALT), "\xA0");
    EXPECT_EQ(Map(RAWKEY_RIGHT, 0),
              "\x9B"
              "C");
    EXPECT_EQ(Map(RAWKEY_RIGHT, IEQUALIFIER_LSHIFT),
              "\x9B"
              " A");
    EXPECT_EQ(Map(RAWKEY_DOWN, IEQUALIFIER_LSHIFT),
              "\x9B"
              "S");
    EXPECT_EQ(Map(RAWKEY_LSHIFT, 0), "");  // modifiers alone give nothing
    EXPECT_EQ(Map(0x20 | IECODE_UP_PREFIX, 0), "");

    // Dead keys combine with the next letter only, from the prefix the message carries.
    const DeadKeyPrefix grave{0x24, IEQUALIFIER_LALT, 0, 0, {}};
    const DeadKeyPrefix plainG{0x24, 0, 0, 0, {}};
    EXPECT_EQ(Map(0x24, IEQUALIFIER_LALT), "");
    EXPECT_EQ(Map(0x16, 0, &grave), "\xF9");                   // u grave
    EXPECT_EQ(Map(0x16, IEQUALIFIER_LSHIFT, &grave), "\xD9");  // U grave
    EXPECT_EQ(Map(0x31, 0, &grave), "z");                      // no grave z
    EXPECT_EQ(Map(RAWKEY_SPACE, 0, &grave), "`");              // the accent alone
    EXPECT_EQ(Map(0x16, 0, &plainG), "u");                     // g was not a dead key
}

TEST(Keymap, TooSmallABufferGivesMinusOne) {
    InputEvent ie{};
    ie.ie_Class = IECLASS_RAWKEY;
    ie.ie_Code = RAWKEY_F10;
    ie.ie_Qualifier = IEQUALIFIER_LSHIFT;
    char buffer[4] = {};
    EXPECT_EQ(MapRawKey(&ie, buffer, 3, nullptr), -1);
    EXPECT_EQ(MapRawKey(&ie, buffer, 4, nullptr), 4);
    EXPECT_EQ(std::string(buffer, 4),
              "\x9B"
              "19~");
    ie.ie_Code = 0x20;  // a
    ie.ie_Qualifier = IEQUALIFIER_CAPSLOCK;
    EXPECT_EQ(MapRawKey(&ie, buffer, 1, nullptr), 1);
    EXPECT_EQ(buffer[0], 'A');
    EXPECT_EQ(MapRawKey(&ie, buffer, 0, nullptr), -1);
    ie.ie_Class = IECLASS_RAWMOUSE;
    EXPECT_EQ(MapRawKey(&ie, buffer, 4, nullptr), 0);
    // Without a buffer: a key that gives nothing answers 0, one that gives characters -1.
    ie.ie_Class = IECLASS_RAWKEY;
    ie.ie_Code = 0x24;
    ie.ie_Qualifier = IEQUALIFIER_LALT;  // a dead key
    EXPECT_EQ(MapRawKey(&ie, nullptr, 0, nullptr), 0);
    ie.ie_Qualifier = 0;
    EXPECT_EQ(MapRawKey(&ie, nullptr, 0, nullptr), -1);
}

TEST_F(Desk, DiskInsertedGoesToEveryWindowThatAsked) {
    Window* asks = Dialog(10, 20, 100, 50, IDCMP_DISKINSERTED, "Disk");
    Window* not_ = Dialog(150, 20, 100, 50, IDCMP_MOUSEBUTTONS, "No disk");
    PlatformTest::InjectDiskInserted();
    auto got = Drain(asks);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].cls, IDCMP_DISKINSERTED);
    EXPECT_EQ(got[0].cls, 32768u);
    EXPECT_TRUE(Drain(not_).empty());
}

TEST_F(Desk, ClosingAWindowDropsItsWaitingMessagesAndFreesTheScreen) {
    Window* w = Dialog(10, 20, 100, 50, IDCMP_MOUSEBUTTONS, "Busy");
    EXPECT_EQ(CloseScreen(screen), FALSE);  // a window is still open on it
    PlatformTest::Click(30, 50);
    ASSERT_TRUE(PlatformTest::WaitInputDrained());
    EXPECT_FALSE(PlatformTest::WaitIdle(50));  // two clicks wait unreplied
    Close(w);
    EXPECT_TRUE(PlatformTest::WaitIdle());

    Window* v = Dialog(10, 20, 100, 50, IDCMP_MOUSEBUTTONS, "Quiet");
    EXPECT_EQ(ModifyIDCMP(v, 0), TRUE);
    EXPECT_EQ(v->UserPort, nullptr);
    PlatformTest::Click(30, 50);
    EXPECT_TRUE(PlatformTest::WaitIdle());
    EXPECT_EQ(ModifyIDCMP(v, IDCMP_RAWKEY), TRUE);
    ASSERT_NE(v->UserPort, nullptr);
    PlatformTest::TypeKey(0x20);
    EXPECT_EQ(Drain(v).size(), 2u);
}

TEST_F(Desk, ThePublicScreenIsTheProgramsOwnAndBeepsAreCounted) {
    Screen* pub = LockPubScreen(nullptr);
    EXPECT_EQ(pub, screen);
    UnlockPubScreen(nullptr, pub);
    EXPECT_EQ(LockPubScreen("Nonesuch"), nullptr);
    Window* w = OpenWindowTags(nullptr, WA_Left, 5, WA_Top, 5, WA_Width, 50, WA_Height, 40);
    ASSERT_NE(w, nullptr);
    windows.push_back(w);
    EXPECT_EQ(w->WScreen, screen);

    const int before = PlatformTest::BeepCount();
    DisplayBeep(nullptr);
    DisplayBeep(screen);
    EXPECT_EQ(PlatformTest::BeepCount(), before + 2);

    SetWindowTitles(w, "New title", "Screen title for w");
    ActivateWindow(w);
    EXPECT_STREQ(reinterpret_cast<char*>(w->Title), "New title");
    EXPECT_STREQ(reinterpret_cast<char*>(w->ScreenTitle), "Screen title for w");
    SetWindowTitles(w, reinterpret_cast<CONST_STRPTR>(-1), nullptr);
    EXPECT_STREQ(reinterpret_cast<char*>(w->Title), "New title");

    MoveScreen(screen, 0, 7);
    EXPECT_EQ(screen->TopEdge, 7);
    MoveScreen(screen, 0, 1000);
    EXPECT_EQ(screen->TopEdge, 200);
    MoveScreen(screen, 0, -1000);
    EXPECT_EQ(screen->TopEdge, 0);
}

TEST_F(Desk, ScreensComeToTheFrontAndTheFrontOneIsShown) {
    Window* w = Dialog(10, 20, 100, 50, 0, "Mine");
    FillInner(w, 8);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(30, 50), 8);
    Screen* other = OpenScreenTags(nullptr, SA_Width, 200, SA_Height, 100, SA_ShowTitle, FALSE);
    ASSERT_NE(other, nullptr);
    SetAPen(&other->RastPort, 11);
    RectFill(&other->RastPort, 0, 0, 199, 99);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(30, 50), 11);   // the newest screen is in front
    EXPECT_EQ(PlatformTest::ReadScreenPixel(250, 50), -1);  // and it is smaller
    EXPECT_EQ(LockPubScreen(nullptr), other);
    UnlockPubScreen(nullptr, other);
    ScreenToBack(other);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(30, 50), 8);
    ScreenToFront(other);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(30, 50), 11);
    EXPECT_EQ(CloseScreen(other), TRUE);
    EXPECT_EQ(PlatformTest::ReadScreenPixel(30, 50), 8);
    EXPECT_EQ(CloseScreen(other), FALSE);  // already gone
}

TEST_F(Desk, TheActiveWindowsOwnPointerIsShown) {
    Window* a = Dialog(10, 20, 100, 50, 0, "Hand");
    Window* b = Dialog(150, 20, 100, 50, 0, "Plain");
    // Three rows, four pixels wide: colour 1, 2, 3 and transparent.
    UWORD sprite[] = {0, 0, 0xA000, 0x6000, 0x8000, 0x0000, 0x0000, 0x1000, 0, 0};
    SetPointer(a, sprite, 3, 4, -1, 0);
    ActivateWindow(b);
    EXPECT_EQ(PlatformTest::PointerPixel(0, 0), -1);  // b shows the default pointer
    ActivateWindow(a);
    EXPECT_EQ(PlatformTest::PointerPixel(0, 0), 1);
    EXPECT_EQ(PlatformTest::PointerPixel(1, 0), 2);
    EXPECT_EQ(PlatformTest::PointerPixel(2, 0), 3);
    EXPECT_EQ(PlatformTest::PointerPixel(3, 0), 0);
    EXPECT_EQ(PlatformTest::PointerPixel(3, 2), 2);
    EXPECT_EQ(PlatformTest::PointerPixel(4, 0), -1);
    ClearPointer(a);
    EXPECT_EQ(PlatformTest::PointerPixel(0, 0), -1);
}

TEST_F(Desk, LayerLockKeepsARastPortToOnePainter) {
    Window* w = Dialog(10, 20, 100, 50, 0, "Paint");
    RastPort* rp = w->RPort;
    static Task* painter;
    static BYTE lockedBit;
    painter = FindTask(nullptr);
    lockedBit = AllocSignal(-1);
    ASSERT_GE(lockedBit, 0);

    LockLayerRom(rp->Layer);
    LockLayerRom(rp->Layer);  // recursive for the holder
    SetAPen(rp, 5);
    std::atomic<bool> intruderDone{false};
    std::thread intruder([&] {
        Signal(painter, 1UL << lockedBit);
        SetAPen(rp, 9);  // must wait for the painter
        WritePixel(rp, 11, 30);
        intruderDone = true;
    });
    Wait(1UL << lockedBit);
    Delay(5);  // real time for the intruder to run and interfere: no clock step can give it
    WritePixel(rp, 10, 30);
    EXPECT_FALSE(intruderDone);
    UnlockLayerRom(rp->Layer);
    UnlockLayerRom(rp->Layer);
    intruder.join();
    EXPECT_EQ(ReadPixel(rp, 10, 30), 5);
    EXPECT_EQ(ReadPixel(rp, 11, 30), 9);
    FreeSignal(lockedBit);
}

TEST_F(Desk, CompositionRunsSafelyWhileWindowsOpenPaintAndClose) {
    Window* steady = Dialog(200, 100, 80, 60, 0, "Steady");
    FillInner(steady, 12);
    std::thread churn([&] {
        for (int i = 0; i < 60; ++i) {
            Window* w = OpenWindowTags(nullptr, WA_CustomScreen, screen, WA_Left, i, WA_Top, 20,
                                       WA_Width, 120, WA_Height, 80, WA_Title, "Churn");
            for (int k = 0; k < 5; ++k) {
                SetAPen(w->RPort, 30 + k);
                RectFill(w->RPort, 0, 0, 119, 79);
                ChangeWindowBox(w, i, 20, 100 + k * 10, 70 + k * 5);
            }
            CloseWindow(w);
        }
    });
    for (int i = 0; i < 100; ++i) {
        EXPECT_EQ(PlatformTest::ReadScreenPixel(240, 140), 12);  // never covered by the churn
    }
    churn.join();
    EXPECT_EQ(PlatformTest::ReadScreenPixel(240, 140), 12);
}

// Reads a PNG back as 0xRRGGBB values.
std::vector<ULONG> ReadPng(const std::string& path, int& width, int& height) {
    std::vector<ULONG> pixels;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
        return pixels;
    }
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_init_io(png, f);
        png_read_info(png, info);
        width = static_cast<int>(png_get_image_width(png, info));
        height = static_cast<int>(png_get_image_height(png, info));
        if (png_get_color_type(png, info) == PNG_COLOR_TYPE_RGB &&
            png_get_bit_depth(png, info) == 8) {
            std::vector<png_byte> row(static_cast<size_t>(width) * 3);
            for (int y = 0; y < height; ++y) {
                png_read_row(png, row.data(), nullptr);
                for (int x = 0; x < width; ++x) {
                    pixels.push_back((ULONG{row[3 * x]} << 16) | (ULONG{row[3 * x + 1]} << 8) |
                                     row[3 * x + 2]);
                }
            }
        }
    }
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return pixels;
}

TEST_F(Desk, SnapshotOfTwoWindowsIsWrittenAsPng) {
    Window* back = Backdrop(0);
    SetAPen(back->RPort, 20);
    RectFill(back->RPort, 0, 0, 319, 199);
    Window* a = Dialog(30, 40, 120, 70, 0, "Alpha");
    Window* b = Dialog(110, 80, 120, 70, 0, "Beta");
    FillInner(a, 40);
    FillInner(b, 60);
    TextAttr attr{"helvetica.font", 18, FS_NORMAL, FPF_DISKFONT};
    TextFont* font = OpenFont(&attr);
    ASSERT_NE(font, nullptr);
    SetFont(b->RPort, font);
    SetAPen(b->RPort, 1);
    SetDrMd(b->RPort, JAM1);
    Move(b->RPort, 10, 40);
    Text(b->RPort, "Tessella", 8);
    CloseFont(font);

    const std::string path = "platform_two_windows.png";
    ASSERT_TRUE(PlatformTest::SaveScreenPNG(path.c_str()));
    int width = 0;
    int height = 0;
    const std::vector<ULONG> pixels = ReadPng(path, width, height);
    ASSERT_EQ(width, 320);
    ASSERT_EQ(height, 200);
    ASSERT_EQ(pixels.size(), 320u * 200u);
    const auto colorOfPen = tessella::testing::PenColour;
    for (const auto& [x, y] :
         std::vector<std::pair<int, int>>{{5, 190}, {50, 80}, {200, 140}, {140, 60}, {115, 85}}) {
        EXPECT_EQ(pixels[static_cast<size_t>(y) * 320 + x],
                  colorOfPen(static_cast<ULONG>(PlatformTest::ReadScreenPixel(x, y))))
            << x << "," << y;
    }
    EXPECT_EQ(pixels[190 * 320 + 5], colorOfPen(20));
    EXPECT_EQ(pixels[80 * 320 + 50], colorOfPen(40));
    EXPECT_EQ(pixels[140 * 320 + 200], colorOfPen(60));
    int ink = 0;  // the text, in pen 1, inside b
    for (int y = 80; y < 80 + b->Height; ++y) {
        for (int x = 110; x < 110 + b->Width; ++x) {
            ink += pixels[static_cast<size_t>(y) * 320 + x] == colorOfPen(1);
        }
    }
    EXPECT_GT(ink, 40);
}

}  // namespace
