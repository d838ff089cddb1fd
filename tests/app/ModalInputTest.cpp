// Which window has the user's input: the about box keeps typing away from the main window's
// boxes while it is up, and the main window's menus and command keys work without a click
// first, from the start and again once a box has closed.
#include <gadtools.h>

#include <cstdlib>
#include <filesystem>

#include "MainWindowFixture.h"
#include "app/FormAbout.h"
#include "controls/ButtonCustom.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "tests/support/Poll.h"
#include "tests/support/TempDir.h"

using namespace tessella;

namespace {

constexpr UWORD kRawI = 0x17;
constexpr UWORD kRawDelete = 0x46;

class ModalInput : public MainWindow {
protected:
    // Holds the menu button on the strip's title, goes to the item and lets go there. An item
    // that raises a box on the window's task leaves nothing to settle until the box is answered.
    void PickWithPointer(int menu, int item, bool raisesABox = false) const {
        Menu* m = Application::menu;
        for (int i = 0; i < menu && m != nullptr; ++i) {
            m = m->NextMenu;
        }
        ASSERT_NE(m, nullptr);
        const int bar = screen->GetHandle()->BarHeight;
        const MenuItem* it = ItemAddress(Application::menu, FULLMENUNUM(menu, item, NOSUB));
        ASSERT_NE(it, nullptr);
        PlatformTest::MovePointer(m->LeftEdge + m->Width / 2, bar / 2);
        PlatformTest::PressButton(IECODE_RBUTTON);
        PlatformTest::MovePointer(m->LeftEdge + it->LeftEdge + it->Width / 2,
                                  bar + it->TopEdge + it->Height / 2);
        PlatformTest::ReleaseButton(IECODE_RBUTTON);
        if (!raisesABox) {
            Settle();
        }
    }
};

TEST_F(ModalInput, WithTheAboutBoxUpThePathBoxTakesNoTyping) {
    std::string during, after;
    int beepsBefore = 0, beepsAfter = 0;
    bool up = false;
    Run([&] {
        Click(window->btnInfo);
        up = AboutUp();
        if (up) {
            beepsBefore = PlatformTest::BeepCount();
            Click(window->txtFiles);
            beepsAfter = PlatformTest::BeepCount();
            EXPECT_TRUE(PlatformTest::TypeText("typed"));
            Settle();
            during = window->txtFiles->GetText();
            EXPECT_TRUE(CloseAbout());
        }
        Type(window->txtFiles, "free");  // once the box has gone the box is the user's again
        after = window->txtFiles->GetText();
        Quit();
    });
    ASSERT_TRUE(up);
    EXPECT_EQ(during, "");
    EXPECT_GT(beepsAfter, beepsBefore);  // the click was refused as any other
    EXPECT_EQ(after, "free");
}

TEST_F(ModalInput, WithAQuestionUpNoBoxOfTheWindowTakesTyping) {
    std::string question, files, password;
    Run([&] {
        ClickForBox(window->btnClose);  // the exit question, with every box of the window on
        EXPECT_TRUE(PlatformTest::WaitRequester(nullptr, 20000));
        // Both kinds of box, clicked near their left ends, clear of the question.
        for (GUIElement* box : {static_cast<GUIElement*>(window->txtFiles),
                                static_cast<GUIElement*>(window->txtPassword)}) {
            const tagPOINT at = box->GetPosition();
            PlatformTest::Click(at.x + 6, at.y + box->GetSize().cy / 2);
            EXPECT_TRUE(PlatformTest::TypeText("typed"));
        }
        EXPECT_TRUE(PlatformTest::WaitInputDrained());
        question = Answer(1).text;  // No: the window stays
        files = window->txtFiles->GetText();
        password = window->txtPassword->GetText();
        Quit();
    });
    EXPECT_EQ(question, "Do you really want to go exit?");
    EXPECT_EQ(files, "");
    EXPECT_EQ(password, "");
}

// The file requester puts the window to sleep: its path box takes neither the click nor the
// typing while the requester is up.
TEST_F(ModalInput, WithTheFileRequesterUpThePathBoxTakesNoTyping) {
    std::string files;
    Run([&] {
        ClickForBox(window->btnSelectFiles);
        EXPECT_TRUE(PlatformTest::WaitRequester(nullptr, 20000));
        const tagPOINT at = window->txtFiles->GetPosition();
        PlatformTest::Click(at.x + 6, at.y + window->txtFiles->GetSize().cy / 2);
        EXPECT_TRUE(PlatformTest::TypeText("typed"));
        EXPECT_TRUE(PlatformTest::WaitInputDrained());
        EXPECT_TRUE(PlatformTest::CancelRequester());
        Settle();
        files = window->txtFiles->GetText();
        Quit();
    });
    EXPECT_EQ(files, "");
}

TEST_F(ModalInput, MenusAndCommandKeysWorkBeforeAnyClickAndAfterABoxCloses) {
    bool byKey = false, byKeyClosed = false, byMenu = false, byKeyAgain = false;
    Run([&] {
        PlatformTest::TypeKey(kRawI, IEQUALIFIER_LCOMMAND);  // nothing clicked yet
        Settle();
        byKey = AboutUp();
        PlatformTest::TypeKey(kRawDelete);  // the box opened with the input: Delete closes it
        byKeyClosed = byKey && AboutGone();
        PickWithPointer(1, 1);  // "?" / "Info..."
        byMenu = AboutUp();
        if (byMenu) {
            EXPECT_TRUE(CloseAbout());
        }
        PlatformTest::TypeKey(kRawI, IEQUALIFIER_LCOMMAND);
        Settle();
        byKeyAgain = AboutUp();
        if (byKeyAgain) {
            PlatformTest::TypeKey(kRawDelete);
            EXPECT_TRUE(AboutGone());
        }
        Quit();
    });
    EXPECT_TRUE(byKey);
    EXPECT_TRUE(byKeyClosed);
    EXPECT_TRUE(byMenu);
    EXPECT_TRUE(byKeyAgain);
}

// Home hands the home page to the desktop's opener, as one argument; Exit asks what the close
// button asks.
TEST_F(ModalInput, TheMenusHomeOpensTheHomePageAndExitAsksBeforeItQuits) {
    TempDir bin;
    const std::string opened = bin.Path("opened");
    bin.Write("xdg-open", "#!/bin/sh\nprintf '%s|' \"$@\" > '" + opened + "'\n");
    std::filesystem::permissions(bin.Path("xdg-open"), std::filesystem::perms::owner_all);
    const std::string path = std::getenv("PATH") != nullptr ? std::getenv("PATH") : "";
    setenv("PATH", (bin.Path("") + ":" + path).c_str(), 1);
    std::string question;
    Run([&] {
        PickWithPointer(1, 0);  // "?" / "Home"
        EXPECT_TRUE(PollUntil([&] { return TempDir::Read(opened) != ""; }));
        PickWithPointer(0, 0, true);  // "File" / "Exit"
        const PlatformTest::RequesterView view = Answer(0);
        question = view.text;
    });
    setenv("PATH", path.c_str(), 1);
    EXPECT_EQ(TempDir::Read(opened), "http://www.tessella.example.org|");
    EXPECT_EQ(question, "Do you really want to go exit?");
    EXPECT_FALSE(window->IsLoad());
}

}  // namespace
