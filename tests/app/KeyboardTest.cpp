// The utility's windows driven from the keyboard alone: Tab and Shift+Tab walk the inputs and
// buttons in reading order, Space and Return press what has the keyboard, the cursor keys pick
// an operation, Escape answers a box with No and does nothing in the main window.
#include <map>

#include "MainWindowFixture.h"
#include "app/FormTestoMultilinea.h"
#include "controls/CellControl.h"
#include "controls/CheckBox.h"
#include "controls/OptionBox.h"
#include "engine/CryptEngine.h"

using namespace tessella;

namespace {

class Keyboard : public MainWindow {
protected:
    static void Tab(bool backward = false) {
        PlatformTest::TypeKey(RAWKEY_TAB, backward ? IEQUALIFIER_LSHIFT : 0);
        Settle();
    }
    static void Key(UWORD code) {
        PlatformTest::TypeKey(code);
        Settle();
    }
    // A key that raises a box on the window's own task: nothing settles until it is answered.
    static void KeyForBox(UWORD code) {
        PlatformTest::WaitInputDrained();
        PlatformTest::TypeKey(code);
    }
    static void Tabs(int count) {
        for (int i = 0; i < count; ++i) {
            Tab();
        }
    }

    // The next box, answered from the keyboard; its text.
    std::string AnswerWithKey(UWORD code) {
        PlatformTest::RequesterView view;
        EXPECT_TRUE(PlatformTest::WaitRequester(&view, 20000));
        PlatformTest::WaitInputDrained();
        PlatformTest::TypeKey(code);
        for (int i = 0; i < 1000 && window->CursorWait(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        Settle();
        return view.text;
    }

    // The inputs and buttons of the window, by name.
    std::vector<std::pair<std::string, GUIElement*>> Controls() const {
        return {{"START", window->btnStart},
                {"Info", window->btnInfo},
                {"Close", window->btnClose},
                {"Operation", window->optOperation},
                {"Files", window->txtFiles},
                {"SelectFiles", window->btnSelectFiles},
                {"DestinationChoice", window->optDestination},
                {"Destination", window->txtDestination},
                {"SelectDestination", window->btnSelectDestination},
                {"Check", window->chkCheck},
                {"Password", window->txtPassword},
                {"Show", window->btnShow},
                {"Confirm", window->txtConfirm}};
    }

    // What the screen shows of a control and two pixels around it, where a focus shows: a
    // ring (along its edges, inside a button, outside a choice) or a text cursor (its middle).
    static std::string Look(const std::vector<UBYTE>& pens, int width, GUIElement* e) {
        const tagPOINT at = e->GetPosition();
        const tagSIZE s = e->GetSize();
        const auto pen = [&](int x, int y) {
            const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + x;
            return i < pens.size() ? static_cast<char>(pens[i]) : '?';
        };
        std::string seen;
        for (const int y : {at.y - 2, at.y + 2, at.y + s.cy / 2, at.y + s.cy + 1}) {
            for (int x = at.x - 2; x <= at.x + s.cx + 1; ++x) {
                seen += pen(x, y);
            }
        }
        for (const int x : {at.x - 2, at.x + s.cx + 1}) {
            for (int y = at.y - 2; y <= at.y + s.cy + 1; ++y) {
                seen += pen(x, y);
            }
        }
        return seen;
    }

    std::map<std::string, std::string> LookAll() const {
        std::vector<UBYTE> pens;
        int width = 0;
        EXPECT_TRUE(PlatformTest::ReadScreenPens(&pens, &width));
        std::map<std::string, std::string> looks;
        for (const auto& [name, e] : Controls()) {
            looks[name] = Look(pens, width, e);
        }
        return looks;
    }

    // The control that shows the focus: the one that no longer looks as it did with none.
    std::string Focused(const std::map<std::string, std::string>& unfocused) const {
        const std::map<std::string, std::string> now = LookAll();
        std::string changed;
        for (const auto& [name, e] : Controls()) {
            if (now.at(name) != unfocused.at(name)) {
                changed += (changed.empty() ? "" : "+") + name;
            }
        }
        return changed.empty() ? "none" : changed;
    }

    // A click on empty window space takes the focus from every control.
    void DropFocus() { ClickAt(window, 700, 520); }
};

// One row per state of the window: the controls Tab visits from none, in order; Shift+Tab
// visits them the other way. Hidden and disabled controls are passed by.
TEST_F(Keyboard, TabWalksTheInputsAndButtonsInReadingOrderAndWrapsAround) {
    struct Row {
        const char* state;
        std::function<void()> enter;
        std::vector<std::string> order;
    };
    const std::vector<std::string> header = {"START",     "Info",  "Close",
                                             "Operation", "Files", "SelectFiles"};
    auto with = [&](std::vector<std::string> rest) {
        std::vector<std::string> all = header;
        all.insert(all.end(), rest.begin(), rest.end());
        return all;
    };
    const std::vector<Row> rows = {
        {"Encrypt", [] {},
         with({"Destination", "SelectDestination", "Check", "Password", "Show", "Confirm"})},
        {"Encrypt, password shown", [&] { Click(window->btnShow); },
         with({"Destination", "SelectDestination", "Check", "Password", "Show"})},
        {"Decrypt, same folder", [&] { Pick(window->optOperation, 1, 2); },
         with({"DestinationChoice", "Password", "Show"})},
        {"Decrypt, a path", [&] { Pick(window->optDestination, 1, 2); },
         with({"DestinationChoice", "Destination", "SelectDestination", "Password", "Show"})},
    };
    std::vector<std::vector<std::string>> forward(rows.size()), backward(rows.size());
    Run([&] {
        for (size_t r = 0; r < rows.size(); ++r) {
            rows[r].enter();
            DropFocus();
            const auto unfocused = LookAll();
            for (size_t i = 0; i <= rows[r].order.size(); ++i) {
                Tab();
                forward[r].push_back(Focused(unfocused));
            }
            DropFocus();
            for (size_t i = 0; i <= rows[r].order.size(); ++i) {
                Tab(true);
                backward[r].push_back(Focused(unfocused));
            }
            DropFocus();
        }
        Quit();
    });
    for (size_t r = 0; r < rows.size(); ++r) {
        SCOPED_TRACE(rows[r].state);
        std::vector<std::string> there = rows[r].order;
        there.push_back(rows[r].order.front());  // around again
        EXPECT_EQ(forward[r], there);
        std::vector<std::string> back(rows[r].order.rbegin(), rows[r].order.rend());
        back.push_back(rows[r].order.back());
        EXPECT_EQ(backward[r], back);
    }
}

// Space and Return press the button that has the keyboard, Space ticks the check box and the
// cursor keys choose the operation: each does what a click on it does. The about box's OK takes
// the keyboard too.
TEST_F(Keyboard, KeysPressWhatHasTheKeyboardAsAClickDoes) {
    bool aboutByReturn = false, aboutClosedBySpace = false;
    PlatformTest::RequesterView requester;
    std::string filesAfterCancel, decryptCaption, encryptCaption;
    int checkedAfterSpace = -1;
    std::string showCaption;
    bool confirmOff = false;
    Run([&] {
        Tabs(2);  // START, Info
        Key(RAWKEY_RETURN);
        aboutByReturn = AboutUp();
        Tab();  // the box's own OK
        Key(RAWKEY_SPACE);
        aboutClosedBySpace = AboutGone();
        if (AboutUp()) {
            CloseAbout();
        }

        Tabs(6);  // START, Info, Close, Operation, Files, SelectFiles
        KeyForBox(RAWKEY_SPACE);
        EXPECT_TRUE(PlatformTest::WaitRequester(&requester, 20000));
        EXPECT_TRUE(PlatformTest::CancelRequester(20000));
        Settle();
        filesAfterCancel = window->txtFiles->GetText();

        Tab(true);
        Tab(true);  // back to the operation
        Key(RAWKEY_DOWN);
        decryptCaption = window->lblFiles->GetText();
        Key(RAWKEY_UP);
        encryptCaption = window->lblFiles->GetText();

        Tabs(5);  // Files, SelectFiles, Destination, SelectDestination, Check
        Key(RAWKEY_SPACE);
        checkedAfterSpace = window->chkCheck->IsChecked();
        Tabs(2);  // Password, Show
        Key(RAWKEY_RETURN);
        showCaption = window->btnShow->GetText();
        confirmOff = !window->txtConfirm->GetEnabled();
        Quit();
    });
    EXPECT_TRUE(aboutByReturn);
    EXPECT_TRUE(aboutClosedBySpace);
    EXPECT_FALSE(requester.buttons.empty());
    EXPECT_EQ(filesAfterCancel, "");
    EXPECT_EQ(decryptCaption, "Files to Decrypt:");
    EXPECT_EQ(encryptCaption, "Files to Encrypt:");
    EXPECT_EQ(checkedAfterSpace, 0);
    EXPECT_EQ(showCaption, "Hide");
    EXPECT_TRUE(confirmOff);
}

// A whole encryption typed and started without the mouse; a second one, to the same file, is
// refused with Escape at the replace question, and the file stays the user's. Escape in the
// window itself does nothing; at the exit question it keeps the window.
TEST_F(Keyboard, AJobIsDoneAndAReplaceRefusedFromTheKeyboardAlone) {
    Write("plain.txt", Sample(4000));
    std::string done, replace, exitQuestion;
    bool boxAfterEscape = true;
    bool stillUp = false;
    std::string header;
    Run([&] {
        Tabs(5);  // START, Info, Close, Operation, Files
        EXPECT_TRUE(PlatformTest::TypeText(Path("plain.txt").c_str()));
        Tabs(2);  // SelectFiles, Destination
        EXPECT_TRUE(PlatformTest::TypeText(Path("plain.velx").c_str()));
        Tabs(3);  // SelectDestination, Check, Password
        EXPECT_TRUE(PlatformTest::TypeText("keyboard pw"));
        Tabs(2);  // Show, Confirm
        EXPECT_TRUE(PlatformTest::TypeText("keyboard pw"));
        Tab();  // around to START
        KeyForBox(RAWKEY_RETURN);
        done = AnswerWithKey(RAWKEY_RETURN);
        WaitJobEnd();
        header = Read("plain.velx").substr(0, sizeof CryptEngine::kSignature);

        Write("plain.velx", "the user's own");
        KeyForBox(RAWKEY_SPACE);  // START still has the keyboard
        replace = AnswerWithKey(RAWKEY_ESCAPE);
        WaitJobEnd();

        Key(RAWKEY_ESCAPE);
        boxAfterEscape = PlatformTest::WaitRequester(nullptr, 300);
        Tabs(2);  // Info, Close
        KeyForBox(RAWKEY_SPACE);
        exitQuestion = AnswerWithKey(RAWKEY_ESCAPE);
        stillUp = window->IsLoad();
        Quit();
    });
    EXPECT_EQ(done, "File encrypted successfully");
    EXPECT_EQ(header, std::string(CryptEngine::kSignature, sizeof CryptEngine::kSignature));
    EXPECT_EQ(replace, Path("plain.velx") + " exists. Replace it?");
    EXPECT_EQ(Read("plain.velx").substr(0, 20), "the user's own");
    EXPECT_EQ(Names(), (std::vector<std::string>{"plain.txt", "plain.velx"}));
    EXPECT_FALSE(boxAfterEscape);
    EXPECT_EQ(exitQuestion, "Do you really want to go exit?");
    EXPECT_TRUE(stillUp);
}

// In the text dialog Tab goes from the text to OK and CANCEL, Shift+Tab back, and Return
// presses the button that has the keyboard.
TEST_F(Keyboard, TheTextDialogsButtonsTakeTheKeyboardFromTheText) {
    auto* dialog = new FormTestoMultilinea(window, 0, "Note", "kept", false);
    dialog->Show();
    Run([&] {
        Click(dialog->txtTesto, dialog);
        Tabs(2);  // OK, CANCEL
        Tab(true);
        Key(RAWKEY_RETURN);
        if (dialog->IsLoad()) {
            Key(RAWKEY_ESCAPE);  // not closed by the keys above: the window needs it gone
        }
        Quit();
    });
    EXPECT_EQ(dialog->GetResult(), 1);
    EXPECT_EQ(dialog->GetTesto(), "kept");
    delete dialog;
}

}  // namespace
