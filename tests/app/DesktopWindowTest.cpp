// What the desktop brings to the window: its close button in any state, files handed over by
// name, names in the desktop's encoding, paths too long for a box, and the program's log.
#include <sys/stat.h>

#include <chrono>

#include "MainWindowFixture.h"
#include "app/FormTestoMultilinea.h"
#include "controls/ButtonCustom.h"
#include "controls/CellControl.h"
#include "controls/OptionBox.h"
#include "controls/ProgressBar.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "engine/OpenTextFile.h"
#include "tests/support/VirtualClock.h"

using namespace tessella;

namespace {

void DesktopClose() {
    PlatformTest::CloseDesktopWindow();
}

TEST_F(MainWindow, TheDesktopCloseButtonWaitsForAJobWhoseErrorBoxIsUp) {
    std::vector<std::string> seen;
    bool openAfterYes = false;
    Run([&] {
        Click(window->btnStart);  // nothing typed: the job's error box comes up
        PlatformTest::RequesterView error;
        ASSERT_TRUE(PlatformTest::WaitRequester(&error));
        seen.push_back(error.text);
        DesktopClose();
        ASSERT_TRUE(WaitForBox("Do you really want to go exit?"));
        seen.push_back(Answer(0).text);  // the exit question, answered Yes
        openAfterYes = window->IsLoad() && window->IsJobActive();
        seen.push_back(Answer(0).text);  // the error box, still there
        WaitJobEnd();
        DesktopClose();
        ASSERT_TRUE(WaitForBox("Do you really want to go exit?"));
        seen.push_back(Answer(0).text);
    });
    EXPECT_EQ(seen, (std::vector<std::string>{
                        "The file to encrypt is required", "Do you really want to go exit?",
                        "The file to encrypt is required", "Do you really want to go exit?"}));
    EXPECT_TRUE(openAfterYes);
    EXPECT_FALSE(window->IsLoad());
}

TEST_F(MainWindow, AnEncryptedFileHandedOverOpensTheDecryptView) {
    Write("report.VELX", std::string(CryptEngine::kSignature, sizeof CryptEngine::kSignature));
    window->OpenPath(Path("report.VELX"));
    std::string files, caption;
    bool destinationHidden = false;
    Run([&] {
        files = window->txtFiles->GetText();
        destinationHidden = !window->txtDestination->IsVisible();
        Quit();
    });
    EXPECT_FALSE(window->encryptMode);
    EXPECT_EQ(window->lblFiles->GetText(), "Files to Decrypt:");
    EXPECT_EQ(files, Path("report.VELX"));
    EXPECT_TRUE(destinationHidden);
}

// A name with letters beyond ASCII: shown in the window's Latin-1, written and restored on disk
// in the desktop's UTF-8.
TEST_F(MainWindow, AFileNamedInTheDesktopsEncodingIsEncryptedAndRestoredUnderItsName) {
    const std::string name = "Lettera \xC3\xA0 Zo\xC3\xAB";  // UTF-8
    const std::string content = "Cara Zoe,\n" + std::string(4000, 'x');
    Write(name + ".txt", content);
    window->OpenPath(Path(name + ".txt"));
    std::string shownSource, shownDestination, messages;
    Run([&] {
        shownSource = window->txtFiles->GetText();
        shownDestination = window->txtDestination->GetText();
        Type(window->txtPassword, "accenti ok");
        Type(window->txtConfirm, "accenti ok");
        Click(window->btnStart);
        messages += Answer().text;
        WaitJobEnd();
        fs::rename(folder / (name + ".txt"), folder / "original.txt");
        Pick(window->optOperation, 1, 2);
        Type(window->txtFiles, Path("Lettera \xE0 Zo\xEB.velx"));  // typed as the window's text
        Type(window->txtPassword, "accenti ok");
        Click(window->btnStart);
        messages += "|" + Answer().text;
        WaitJobEnd();
        Quit();
    });
    EXPECT_EQ(shownSource, Path("Lettera \xE0 Zo\xEB.txt"));
    EXPECT_EQ(shownDestination, Path("Lettera \xE0 Zo\xEB.velx"));
    EXPECT_EQ(messages, "File encrypted successfully|File decrypted successfully");
    EXPECT_TRUE(fs::exists(folder / (name + ".velx")));
    EXPECT_EQ(Read(name + ".txt"), content);
}

TEST_F(MainWindow, AFileDroppedOnTheWindowBecomesTheSourceWithItsProposedDestination) {
    Write("caf\xC3\xA9.txt", "x");
    std::string files, destination;
    bool taken = false;
    bool emptyBeforeTick = false;
    int firstTick = -1;
    Run([&] {
        PlatformTest::MovePointer(400, 450);
        taken = PlatformTest::DropFiles({Path("caf\xC3\xA9.txt"), Path("other.txt")});
        {
            // The window takes dropped files from the banner's first tick on, 1.5 s after it
            // opened: the clock is stepped there and through the 100 ms pause of starting the
            // poll. The box is read once the loop waits again.
            VirtualClock clock;
            emptyBeforeTick = window->txtFiles->GetText().empty();
            firstTick = PlatformTest::AdvanceClock(Banner::kTickMs);
            ASSERT_TRUE(PlatformTest::WaitDelays(1));
            PlatformTest::AdvanceClock(100);
            ASSERT_TRUE(PlatformTest::WaitTimerRequests(2));  // the banner and the poll
            Settle();
            files = window->txtFiles->GetText();
            destination = window->txtDestination->GetText();
        }
        Quit();
    });
    EXPECT_TRUE(taken);
    EXPECT_TRUE(emptyBeforeTick);
    EXPECT_EQ(firstTick, 1);
    EXPECT_EQ(files, Path("caf\xE9.txt"));
    EXPECT_EQ(destination, Path("caf\xE9.velx"));
}

TEST_F(MainWindow, APathTooLongForTheBoxIsRefusedRatherThanCut) {
    const std::string longPath = "/" + std::string(300, 'd') + "/file.txt";
    PlatformTest::RequesterView refused;
    std::thread person([&] { refused = AnswerBeforeTheLoop(); });
    window->OpenPath(longPath);
    person.join();
    std::string files;
    Run([&] {
        files = window->txtFiles->GetText();
        Quit();
    });
    EXPECT_EQ(refused.text, "file.txt: the path is too long for this box (at most 256 characters)");
    EXPECT_EQ(files, "");
}

TEST_F(MainWindow, TheBannerRunsOnlyWithAJobAndItsStripIsBlankedAfter) {
    Write("big.bin", Sample(2 << 20));
    auto inkInStrip = [] {
        int ink = 0;
        for (int y = 95; y < 120; y += 1) {
            for (int x = 26; x < 300; ++x) {
                ink += PlatformTest::ReadScreenPixel(x, y) == 1 ? 1 : 0;
            }
        }
        return ink;
    };
    int before = -1, during = -1, after = -1;
    bool ended = false;
    Run([&] {
        {
            // The clock is stepped over each banner tick, and through each pause the window
            // makes on its task: 100 ms as it starts a timer, 200 ms as a button is held down.
            VirtualClock clock;
            auto stepThroughPause = [](int ms) {
                ASSERT_TRUE(PlatformTest::WaitDelays(1));
                PlatformTest::AdvanceClock(ms);
            };
            PlatformTest::AdvanceClock(Banner::kTickMs);  // the first tick, with no job
            stepThroughPause(100);                        // it starts the drop poll
            ASSERT_TRUE(PlatformTest::WaitTimerRequests(2));
            Settle();
            before = inkInStrip();
            FillEncryption(Path("big.bin"), Path("big.velx"), "long enough");
            window->HoldNextJob();
            ClickForBox(window->btnStart);
            stepThroughPause(200);  // START held down
            stepThroughPause(100);  // the job's hand-over timer starts
            ASSERT_TRUE(window->WaitHeld());
            PlatformTest::AdvanceClock(Banner::kTickMs);      // a tick during the job
            ASSERT_TRUE(PlatformTest::WaitTimerRequests(3));  // banner, poll, hand-over
            Settle();
            during = inkInStrip();
            PlatformTest::SaveScreenPNG("window-job-running.png");
            ClickForBox(window->btnStart);  // STOP
            stepThroughPause(200);
            window->Release();
            // The job ends on the worker, as soon as that thread gets the processor, and is
            // handed over at the next tick of the hand-over timer: the clock is stepped tick by
            // tick until then. A loaded machine may keep the worker waiting, so the bound is on
            // real time, not on a count of steps (a job that never ends still fails).
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
            while (window->IsJobActive() && std::chrono::steady_clock::now() < deadline) {
                PlatformTest::AdvanceClock(FormMain::kHandoverMs);
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            ended = !window->IsJobActive();
            Settle();
            after = inkInStrip();
        }
        Quit();
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(before, 0);
    EXPECT_GT(during, 50);  // "decrypt and encrypt files..." in pen 1
    EXPECT_EQ(after, 0);
    EXPECT_GE(Banner::bannerStep, 1);  // the animation goes on from here with the next job
}

TEST_F(MainWindow, TheTextDialogGivesTheEditedTextOnlyAfterOK) {
    auto* dialog = new FormTestoMultilinea(window, 0, "Note", "first", false);
    dialog->Show();
    ASSERT_TRUE(dialog->IsLoad());
    bool ownerAside = false;
    Run([&] {
        ownerAside = !window->GetEnabled() && window->CursorWait();
        Click(dialog->txtTesto, dialog);
        PlatformTest::TypeText(" line");
        PlatformTest::TypeKey(RAWKEY_RETURN);  // a new line, not an answer
        PlatformTest::TypeText("next");
        PlatformTest::TypeKey(RAWKEY_UP);  // to the row above, over the same column
        PlatformTest::TypeText("!");
        Settle();
        Click(dialog->btnOk, dialog);
        Quit();
    });
    EXPECT_TRUE(ownerAside);
    EXPECT_EQ(dialog->GetResult(), 1);
    EXPECT_EQ(dialog->GetTesto(), "firs!t line\rnext");
    EXPECT_EQ(dialog->btnCancel->GetText(), "CANCEL");
    delete dialog;
}

TEST_F(MainWindow, EscapeCancelsTheTextDialogAndKeepsItsText) {
    auto* cancelled = new FormTestoMultilinea(window, 0, "Nota", "keep", true);
    cancelled->Show();
    Run([&] {
        Click(cancelled->txtTesto, cancelled);
        PlatformTest::TypeText("x");
        PlatformTest::TypeKey(RAWKEY_ESCAPE);
        Settle();
        Quit();
    });
    EXPECT_EQ(cancelled->GetResult(), 2);
    EXPECT_EQ(cancelled->GetTesto(), "keep");
    EXPECT_EQ(cancelled->btnCancel->GetText(), "ANNULLA");
    EXPECT_TRUE(window->GetEnabled());
    delete cancelled;
}

// The whole program's life as start-up runs it: its log lands in the user's state folder.
TEST(Program, ARunLeavesItsLogInTheStateFolderOnly) {
    const fs::path state =
        fs::temp_directory_path() / ("tessella-program-" + std::to_string(getpid()));
    fs::remove_all(state);
    fs::create_directories(state);
    const char* saved = std::getenv("XDG_STATE_HOME");
    const std::string savedState = saved != nullptr ? saved : "";
    const std::string savedLog = Application::GetLogFile();
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    // A folder of its own as the current one: other tests of this program log beside themselves.
    const fs::path savedCwd = fs::current_path();
    const fs::path cwd = state / "cwd";
    fs::create_directories(cwd);
    fs::current_path(cwd);

    const std::string title = Startup::WindowTitle();
    OrvScreen* screen = Startup::Up(title);
    auto* window = new FormMain(screen, title);
    std::thread person([&] {
        PlatformTest::WaitIdle();
        PlatformTest::InjectDiskInserted();  // the window logs what it does not handle
        PlatformTest::WaitIdle();
        const tagPOINT at = window->btnClose->GetPosition();
        PlatformTest::WaitInputDrained();
        PlatformTest::Click(at.x + 50, at.y + 12);
        PlatformTest::RequesterView view;
        EXPECT_TRUE(PlatformTest::WaitRequester(&view));
        EXPECT_TRUE(PlatformTest::AnswerRequester(0));
    });
    Application::Run(window);
    person.join();
    Startup::SlideAway(screen);
    delete window;
    Startup::Down(screen);

    const fs::path log = state / "tessella" / "log.txt";
    struct stat st {};
    ASSERT_EQ(stat(log.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    const std::vector<std::string> lines = OpenTextFile(log.string()).GetContenuto();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "evento non gestito 32768"), lines.end());
    EXPECT_FALSE(fs::exists(cwd / "log.txt"));
    EXPECT_TRUE(fs::is_empty(cwd));

    fs::current_path(savedCwd);
    Application::SetLogFile(savedLog);
    if (saved != nullptr) {
        setenv("XDG_STATE_HOME", savedState.c_str(), 1);
    } else {
        unsetenv("XDG_STATE_HOME");
    }
    fs::remove_all(state);
}

}  // namespace
