// The utility's window end to end: jobs typed in and started as a user does, their messages,
// focus moves, stopping, closing, the two views and the about box.
#include "MainWindowFixture.h"
#include "app/FormAbout.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/CheckBox.h"
#include "controls/OptionBox.h"
#include "controls/ProgressBar.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "tests/support/Poll.h"

using namespace tessella;

namespace {

TEST_F(MainWindow, EncryptsAndThenRestoresTheFileUnderItsStoredName) {
    const std::string original = Sample(70000);
    Write("letter 100%s.txt", original);
    PlatformTest::RequesterView encrypted, decrypted;
    Run([&] {
        const std::string confirmation = "secret pw";
        FillEncryption(Path("letter 100%s.txt"), Path("letter.velx"), "  secret pw  ",
                       &confirmation);
        Click(window->btnStart);
        encrypted = Answer();
        WaitJobEnd();
        fs::rename(folder / "letter 100%s.txt", folder / "kept.txt");

        Pick(window->optOperation, 1, 2);
        Type(window->txtFiles, Path("letter.velx"));
        Type(window->txtPassword, "secret pw");
        Click(window->btnStart);
        decrypted = Answer();
        WaitJobEnd();
        Quit();
    });
    EXPECT_EQ(encrypted.text, "File encrypted successfully");
    EXPECT_EQ(encrypted.title, "Tessella Cross Edition");
    EXPECT_EQ(decrypted.text, "File decrypted successfully");
    EXPECT_EQ(Read("letter 100%s.txt"), original);
    EXPECT_EQ(window->prgStatus->GetValue(), 100);
    EXPECT_EQ(window->btnStart->GetText(), "START");
    // The check's temporary file is gone; nothing else was left behind.
    EXPECT_EQ(Names(), (std::vector<std::string>{"kept.txt", "letter 100%s.txt", "letter.velx"}));
}

TEST_F(MainWindow, AWrongPasswordIsRefusedAndTheSourceTakesTheKeyboard) {
    Write("plain.txt", Sample(5000));
    PlatformTest::RequesterView refused;
    std::string files;
    Run([&] {
        FillEncryption(Path("plain.txt"), Path("plain.velx"), "right password");
        Click(window->btnStart);
        Answer();
        WaitJobEnd();
        Pick(window->optOperation, 1, 2);
        Type(window->txtFiles, Path("plain.velx"));
        Type(window->txtPassword, "wrong password");
        Click(window->btnStart);
        refused = Answer();
        WaitJobEnd();
        PlatformTest::TypeText("Q");
        Settle();
        files = window->txtFiles->GetText();
        Quit();
    });
    EXPECT_EQ(refused.title, "ERROR");
    EXPECT_EQ(refused.text,
              "plain.velx: The password is incorrect or not valid Vel Encrypted File");
    EXPECT_EQ(files, Path("plain.velx") + "Q");
}

// Each refusal names what is missing and hands the keyboard to the box to fix: a letter typed
// right after the box is answered lands there.
TEST_F(MainWindow, EveryRefusalMovesTheKeyboardToTheBoxToFix) {
    Write("data.bin", Sample(3000));
    struct Seen {
        std::string message;
        std::string files, destination, password, confirm;
    };
    std::vector<Seen> seen;
    auto attempt = [&] {
        Click(window->btnStart);
        Seen s;
        s.message = Answer().text;
        WaitJobEnd();
        PlatformTest::TypeText("Z");
        Settle();
        s.files = window->txtFiles->GetText();
        s.destination = window->txtDestination->GetText();
        s.password = window->txtPassword->GetText();
        s.confirm = window->txtConfirm->GetText();
        seen.push_back(s);
    };
    Run([&] {
        attempt();  // nothing typed
        Clear(window->txtFiles);
        Type(window->txtFiles, Path("absent.bin"));
        attempt();
        Clear(window->txtFiles);
        Type(window->txtFiles, Path("data.bin"));
        attempt();  // no destination
        Clear(window->txtDestination);
        // Another spelling of the source's own path (a name differing only in case is another
        // file on Linux).
        Type(window->txtDestination, Path("./data.bin"));
        attempt();                            // no password
        Type(window->txtPassword, "123456");  // with the Z: seven characters
        attempt();
        Type(window->txtPassword, "8");
        attempt();  // destination that is the source
        Clear(window->txtDestination);
        Type(window->txtDestination, Path("data.velx"));
        attempt();  // no confirmation
        attempt();  // the Z alone as confirmation
        Quit();
    });
    ASSERT_EQ(seen.size(), 8u);
    EXPECT_EQ(seen[0].message, "The file to encrypt is required");
    EXPECT_EQ(seen[0].files, "Z");
    EXPECT_EQ(seen[1].message, "ABSENT.BIN: file not found or inaccessible");
    EXPECT_EQ(seen[1].files, Path("absent.bin") + "Z");
    EXPECT_EQ(seen[2].message, "The filename of the encrypted file is required");
    EXPECT_EQ(seen[2].destination, "Z");
    EXPECT_EQ(seen[3].message, "Password required");
    EXPECT_EQ(seen[3].password, "Z");
    EXPECT_EQ(seen[4].message, "Password must be at least 8 characters");
    EXPECT_EQ(seen[4].password, "Z123456Z");
    EXPECT_EQ(seen[5].message, "The source file and the destination file cannot match");
    EXPECT_EQ(seen[5].destination, Path("./data.bin") + "Z");
    EXPECT_EQ(seen[6].message, "Confirmation password required");
    EXPECT_EQ(seen[6].confirm, "Z");
    EXPECT_EQ(seen[7].message, "Confirmation password does not match");
    EXPECT_EQ(seen[7].confirm, "ZZ");
    EXPECT_FALSE(fs::exists(folder / "data.velx"));
}

// The Select buttons fill the path boxes from the file requester: the source proposes its
// encrypted name, a chosen destination takes the suffix when encrypting and not when
// decrypting, and Cancel changes nothing. "Specify pathname" starts from an empty box.
TEST_F(MainWindow, TheSelectButtonsFillThePathBoxesFromTheFileRequester) {
    Write("report.txt", "some words");
    std::vector<std::string> seen;
    Run([&] {
        ClickForBox(window->btnSelectFiles);
        ASSERT_TRUE(PlatformTest::AnswerFileRequester(Path("report.txt").c_str()));
        Settle();
        seen.push_back(window->txtFiles->GetText());
        seen.push_back(window->txtDestination->GetText());
        ClickForBox(window->btnSelectDestination);
        ASSERT_TRUE(PlatformTest::AnswerFileRequester(Path("elsewhere").c_str()));
        Settle();
        seen.push_back(window->txtDestination->GetText());
        ClickForBox(window->btnSelectDestination);
        ASSERT_TRUE(PlatformTest::CancelRequester());
        Settle();
        seen.push_back(window->txtDestination->GetText());

        Pick(window->optOperation, 1, 2);
        Pick(window->optDestination, 1, 2);
        seen.push_back(window->txtDestination->GetText());
        Type(window->txtDestination, "typed");
        Pick(window->optDestination, 0, 2);
        Pick(window->optDestination, 1, 2);
        seen.push_back(window->txtDestination->GetText());
        ClickForBox(window->btnSelectDestination);
        ASSERT_TRUE(PlatformTest::AnswerFileRequester(Path("plain.out").c_str()));
        Settle();
        seen.push_back(window->txtDestination->GetText());
        Quit();
    });
    EXPECT_EQ(seen, (std::vector<std::string>{Path("report.txt"), Path("report.velx"),
                                              Path("elsewhere.velx"), Path("elsewhere.velx"), "",
                                              "", Path("plain.out")}));
}

TEST_F(MainWindow, TheDecryptViewAsksForItsOwnInputs) {
    std::vector<std::string> messages;
    Run([&] {
        Pick(window->optOperation, 1, 2);
        Click(window->btnStart);
        messages.push_back(Answer().text);
        WaitJobEnd();
        Write("x.velx", "not really");
        Type(window->txtFiles, Path("x.velx"));
        Pick(window->optDestination, 1, 2);
        Click(window->btnStart);
        messages.push_back(Answer().text);
        WaitJobEnd();
        Quit();
    });
    EXPECT_EQ(messages,
              (std::vector<std::string>{"The file to decrypt is required",
                                        "The filename of the decrypted file is required"}));
}

TEST_F(MainWindow, StopEndsTheJobWithoutAMessageAndLeavesNothing) {
    Write("big.bin", Sample(3 << 20));
    bool disabledWhileRunning = false;
    bool operationLocked = false;
    std::string captionAfterStop;
    Run([&] {
        FillEncryption(Path("big.bin"), Path("big.velx"), "long enough");
        window->HoldNextJob();
        Click(window->btnStart);
        ASSERT_TRUE(window->WaitHeld());
        Settle();
        disabledWhileRunning = !window->txtFiles->GetEnabled() &&
                               !window->txtPassword->GetEnabled() &&
                               !window->btnInfo->GetEnabled() && window->btnClose->GetEnabled();
        operationLocked = !window->optOperation->GetEnabled();
        Click(window->btnStart);  // reads STOP
        captionAfterStop = window->btnStart->GetText();
        window->Release();
        WaitJobEnd();
        PlatformTest::RequesterView none;
        EXPECT_FALSE(PlatformTest::WaitRequester(&none, 300));
        Quit();
    });
    EXPECT_TRUE(disabledWhileRunning);
    EXPECT_TRUE(operationLocked);
    EXPECT_EQ(captionAfterStop, "STOP");  // until the job has really ended
    EXPECT_EQ(window->btnStart->GetText(), "START");
    EXPECT_TRUE(window->txtFiles->GetEnabled());
    EXPECT_TRUE(window->optOperation->GetEnabled());
    EXPECT_FALSE(fs::exists(folder / "big.velx"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

// A file dropped while a job runs is refused with a beep: the job's source and destination, and
// what the window shows of them, stay as they were.
TEST_F(MainWindow, AFileDroppedDuringAJobIsRefusedWithABeep) {
    Write("a.txt", "the job's own source");
    Write("b.txt", "dropped");
    bool beeped = false;
    std::string files, destination, done;
    Run([&] {
        FillEncryption(Path("a.txt"), Path("a.velx"), "long enough");
        window->HoldNextJob();
        Click(window->btnStart);
        ASSERT_TRUE(window->WaitHeld());
        const int beeps = PlatformTest::BeepCount();
        PlatformTest::MovePointer(400, 450);
        ASSERT_TRUE(PlatformTest::DropFiles({Path("b.txt")}));
        // The window looks for drops at its poll's pace, from its banner's first tick on.
        beeped = PollUntil([&] { return PlatformTest::BeepCount() > beeps; });
        Settle();
        files = window->txtFiles->GetText();
        destination = window->txtDestination->GetText();
        window->Release();
        done = Answer(0).text;
        WaitJobEnd();
        Quit();
    });
    EXPECT_TRUE(beeped);
    EXPECT_EQ(done, "File encrypted successfully");
    EXPECT_EQ(files, Path("a.txt"));
    EXPECT_EQ(destination, Path("a.velx"));
    EXPECT_TRUE(fs::exists(folder / "a.velx"));
    EXPECT_FALSE(fs::exists(folder / "b.velx"));
}

TEST_F(MainWindow, ClosingDuringAJobStopsItAndClosesOnlyAfterItHasEnded) {
    Write("big.bin", Sample(2 << 20));
    bool stillOpen = false;
    Run([&] {
        FillEncryption(Path("big.bin"), Path("big.velx"), "long enough");
        window->HoldNextJob();
        Click(window->btnStart);
        ASSERT_TRUE(window->WaitHeld());
        Quit();  // Yes: the job is asked to stop, the window stays
        Quit();  // and again, while the worker still holds the window
        stillOpen = window->IsLoad();
        window->Release();
        WaitJobEnd();
        Quit();
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(window->IsLoad());
    EXPECT_FALSE(window->IsJobActive());
    EXPECT_FALSE(fs::exists(folder / "big.velx"));
}

TEST_F(MainWindow, NoAnswerToTheExitQuestionKeepsTheWindow) {
    bool open = false;
    Run([&] {
        ClickForBox(window->btnClose);
        Answer(1);
        open = window->IsLoad();
        Quit();
    });
    EXPECT_TRUE(open);
    EXPECT_FALSE(window->IsLoad());
}

TEST_F(MainWindow, EachViewGetsBackItsOwnTexts) {
    std::string decryptFiles, decryptPassword, confirmKept, files, destination, password;
    bool decryptHidesConfirm = false;
    Run([&] {
        const std::string confirmation = "confirm1";
        FillEncryption("/enc/source", "/enc/dest.velx", "encpass1", &confirmation);
        PlatformTest::SaveScreenPNG("window-encrypt.png");
        Pick(window->optOperation, 1, 2);
        PlatformTest::SaveScreenPNG("window-decrypt.png");
        decryptFiles = window->txtFiles->GetText();
        decryptPassword = window->txtPassword->GetText();
        decryptHidesConfirm = !window->txtConfirm->IsVisible() && !window->chkCheck->IsVisible();
        Type(window->txtFiles, "/dec/source.velx");
        Pick(window->optOperation, 0, 2);
        Pick(window->optOperation, 0, 2);  // the same operation again changes nothing
        confirmKept = window->txtConfirm->GetText();
        files = window->txtFiles->GetText();
        destination = window->txtDestination->GetText();
        password = window->txtPassword->GetText();
        Quit();
    });
    EXPECT_EQ(decryptFiles, "");
    EXPECT_EQ(decryptPassword, "");
    EXPECT_TRUE(decryptHidesConfirm);
    EXPECT_EQ(files, "/enc/source");
    EXPECT_EQ(destination, "/enc/dest.velx");
    EXPECT_EQ(password, "encpass1");
    EXPECT_EQ(confirmKept, "confirm1");
    EXPECT_EQ(window->savedFiles[1], "/dec/source.velx");
}

TEST_F(MainWindow, ShowEchoesThePasswordAndDropsTheConfirmation) {
    bool confirmOff = false;
    // The first three cells of the password box, pixel by pixel: masked as typed, in clear after
    // Show, masked again after Hide.
    const auto cells = [this] {
        const tagPOINT at = window->txtPassword->GetPosition();
        std::string image;
        for (int y = at.y + 2; y < at.y + window->txtPassword->GetSize().cy - 2; ++y) {
            for (int x = at.x + 3; x < at.x + 3 + 24; ++x) {
                image += std::to_string(PlatformTest::ReadScreenPixel(x, y)) + ",";
            }
        }
        return image;
    };
    std::string typed, shown, hiddenAgain;
    Run([&] {
        Type(window->txtPassword, "abc");
        Type(window->txtConfirm, "typed");  // the cursor leaves the password box
        typed = cells();
        Click(window->btnShow);
        shown = cells();
        confirmOff = !window->txtConfirm->GetEnabled() && window->txtConfirm->GetText().empty();
        Click(window->btnShow);
        hiddenAgain = cells();
        Quit();
    });
    EXPECT_NE(shown, typed);
    EXPECT_EQ(hiddenAgain, typed);
    EXPECT_TRUE(confirmOff);
    EXPECT_TRUE(window->txtConfirm->GetEnabled());
    EXPECT_EQ(window->btnShow->GetText(), "Show");
}

TEST_F(MainWindow, TheAboutBoxKeepsTheWindowAsideUntilItCloses) {
    int beepsBefore = 0, beepsAfter = 0;
    FormAbout* first = nullptr;
    bool newBox = false;
    std::string name;
    Run([&] {
        Click(window->btnInfo);
        first = window->formAbout.get();
        ASSERT_NE(first, nullptr);
        const int32_t firstId = first->GetID();
        ASSERT_TRUE(first->IsLoad());
        name = first->lblName->GetText();
        PlatformTest::SaveScreenPNG("window-about.png");
        beepsBefore = PlatformTest::BeepCount();
        Click(window->btnClose);  // the window is asleep: a beep, no exit question
        beepsAfter = PlatformTest::BeepCount();
        PlatformTest::RequesterView none;
        EXPECT_FALSE(PlatformTest::WaitRequester(&none, 200));
        ClickAt(first, 100, 195);     // back to the box
        PlatformTest::TypeKey(0x46);  // Delete closes it like OK
        Settle();
        EXPECT_FALSE(first->IsLoad());
        Click(window->btnInfo);
        // A new box (the old one's memory may well be reused: its id tells them apart).
        newBox = window->formAbout != nullptr && window->formAbout->IsLoad() &&
                 window->formAbout->GetID() != firstId;
        EXPECT_TRUE(CloseAbout());
        Quit();
    });
    EXPECT_GT(beepsAfter, beepsBefore);
    EXPECT_TRUE(newBox);
    EXPECT_EQ(name.rfind("Tessella Cross Edition", 0), 0u);
    EXPECT_FALSE(window->CursorWait());
    EXPECT_TRUE(window->GetEnabled());
}

}  // namespace
