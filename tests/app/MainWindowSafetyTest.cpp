// The utility's window as a careless user meets it: a job or its box left for a long time,
// existing files in the way, boxes answered while the window is busy elsewhere.
#include "MainWindowFixture.h"
#include "controls/ButtonCustom.h"
#include "controls/OptionBox.h"
#include "controls/ProgressBar.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"

using namespace tessella;

namespace {

// An hour of banner ticks, stepped one by one: far past the generator's nominal range, which it
// leaves on its 267th draw, and past the point where its values run away altogether.
TEST_F(MainWindow, TheBannerShowsPairsOfBitsForAnHourOfTicks) {
    Banner::bannerText.clear();
    Banner::bannerStep = 0;
    window->running = true;
    int pairsSeen = 0;
    for (int tick = 0; tick < 2400; ++tick) {
        const std::string before = Banner::bannerText;
        window->evTimer();
        const std::string& now = Banner::bannerText;
        if (now.empty() || now == "decrypt and encrypt files...") {
            continue;
        }
        ASSERT_EQ(now.find_first_not_of("01"), std::string::npos) << "tick " << tick;
        ASSERT_LE(now.size(), 55u) << "tick " << tick;
        if (before.size() >= 2 && before != "decrypt and encrypt files...") {
            ASSERT_EQ(now.size(), before.size() + 2) << "tick " << tick;
            ASSERT_EQ(now.compare(0, before.size(), before), 0) << "tick " << tick;
        }
        ++pairsSeen;
    }
    window->running = false;
    EXPECT_GT(pairsSeen, 2000);
}

// A new window's banner: its words for three ticks, then one pair a tick, each pair the one its
// own generator (seeded 19) draws: 1 "01", 2 "00", 3 "10", 4 "11".
TEST_F(MainWindow, TheBannerShowsItsWordsThenThePairsItsGeneratorDraws) {
    Banner::bannerText.clear();
    Banner::bannerStep = 0;
    window->running = true;
    std::vector<std::string> shown;
    // Ink of the banner's pen in its strip, between two columns.
    const auto inkOfStrip = [](int fromX, int toX) {
        int ink = 0;
        for (int y = 95; y < 120; ++y) {
            for (int x = fromX; x < toX; ++x) {
                ink += PlatformTest::ReadScreenPixel(x, y) == 1 ? 1 : 0;
            }
        }
        return ink;
    };
    int firstPairInk = -1, pastFirstPairInk = -1;
    for (int tick = 0; tick < 6; ++tick) {
        window->evTimer();
        shown.push_back(Banner::bannerText);
        if (tick == 3) {
            // The words are gone from the strip: only the first pair is there.
            firstPairInk = inkOfStrip(26, 66);
            pastFirstPairInk = inkOfStrip(66, 780);
        }
    }
    window->running = false;
    window->evTimer();  // no job: nothing moves
    shown.push_back(Banner::bannerText);
    const std::string words = "decrypt and encrypt files...";
    // The generator's first draws are 2, 1, 4.
    EXPECT_EQ(shown,
              (std::vector<std::string>{words, words, words, "00", "0001", "000111", "000111"}));
    EXPECT_GT(firstPairInk, 0);
    EXPECT_EQ(pastFirstPairInk, 0);
}

// Encrypting onto a file that is there already asks first; NO writes nothing and keeps it.
TEST_F(MainWindow, AnExistingDestinationIsReplacedOnlyAfterYes) {
    Write("report.txt", Sample(4000));
    Write("precious.dat", "keep me");
    PlatformTest::RequesterView asked, askedAgain, done;
    bool secondBoxAfterNo = false;
    Run([&] {
        TypeEncryption("report.txt", "precious.dat", "long enough");
        Click(window->btnStart);
        asked = Answer(1);  // NO
        WaitJobEnd();
        PlatformTest::RequesterView none;
        secondBoxAfterNo = PlatformTest::WaitRequester(&none, 300);
        EXPECT_EQ(Read("precious.dat"), "keep me");
        Click(window->btnStart);
        askedAgain = Answer(0);  // YES
        done = Answer();
        WaitJobEnd();
        Quit();
    });
    EXPECT_EQ(asked.text, Path("precious.dat") + " exists. Replace it?");
    EXPECT_EQ(asked.title, "Tessella Cross Edition");
    EXPECT_FALSE(secondBoxAfterNo);
    EXPECT_EQ(askedAgain.text, asked.text);
    EXPECT_EQ(done.text, "File encrypted successfully");
    EXPECT_NE(Read("precious.dat"), "keep me");
    EXPECT_EQ(Names(), (std::vector<std::string>{"precious.dat", "report.txt"}));
}

// Yes to replacing, then STOP: the job ends without a word and the older file is still there,
// byte for byte, beside nothing new.
TEST_F(MainWindow, AStoppedJobLeavesTheFileItWasToReplaceAsItWas) {
    Write("big.bin", Sample(3 << 20));
    Write("big.velx", "the older copy");
    PlatformTest::RequesterView asked;
    bool boxAfterStop = true;
    Run([&] {
        TypeEncryption("big.bin", "big.velx", "long enough");
        window->HoldNextJob();
        Click(window->btnStart);
        asked = Answer(0);  // YES
        ASSERT_TRUE(window->WaitHeld());
        Settle();
        Click(window->btnStart);  // reads STOP
        window->Release();
        WaitJobEnd();
        PlatformTest::RequesterView none;
        boxAfterStop = PlatformTest::WaitRequester(&none, 300);
        Quit();
    });
    EXPECT_EQ(asked.text, Path("big.velx") + " exists. Replace it?");
    EXPECT_FALSE(boxAfterStop);
    EXPECT_EQ(Read("big.velx"), "the older copy");
    EXPECT_EQ(Names(), (std::vector<std::string>{"big.bin", "big.velx"}));
}

// Decrypting to the stored name in the source's folder asks the same question.
TEST_F(MainWindow, TheStoredNameDoesNotTakeAnExistingFileWithoutAsking) {
    const std::string original = Sample(6000);
    Write("hello.txt", original);
    PlatformTest::RequesterView asked;
    Run([&] {
        TypeEncryption("hello.txt", "hello.velx", "long enough");
        Click(window->btnStart);
        Answer();
        WaitJobEnd();
        Write("hello.txt", "written since");
        Pick(window->optOperation, 1, 2);
        Type(window->txtFiles, Path("hello.velx"));
        Type(window->txtPassword, "long enough");
        Click(window->btnStart);
        asked = Answer(1);  // NO
        WaitJobEnd();
        Quit();
    });
    EXPECT_EQ(asked.text, Path("hello.txt") + " exists. Replace it?");
    EXPECT_EQ(Read("hello.txt"), "written since");
    EXPECT_EQ(Names(), (std::vector<std::string>{"hello.txt", "hello.velx"}));
    EXPECT_EQ(window->btnStart->GetText(), "START");
}

// On Linux a file's own name is everything after its last "/": a colon is one of its letters,
// also in a name typed without a folder. The name comes back whole, and an unrelated file named
// after the colon is left alone.
TEST_F(MainWindow, AColonIsPartOfTheStoredName) {
    const std::string original = Sample(5000);
    Write("notes:v2.txt", original);
    Write("v2.txt", "unrelated");
    const fs::path started = fs::current_path();
    fs::current_path(folder);
    PlatformTest::RequesterView encrypted, decrypted;
    Run([&] {
        FillEncryption("notes:v2.txt", "notes.velx", "long enough");
        Click(window->btnStart);
        encrypted = Answer();
        WaitJobEnd();
        fs::rename(folder / "notes:v2.txt", folder / "kept");
        Pick(window->optOperation, 1, 2);
        Type(window->txtFiles, "notes.velx");
        Type(window->txtPassword, "long enough");
        Click(window->btnStart);
        decrypted = Answer();
        WaitJobEnd();
        Quit();
    });
    EXPECT_EQ(encrypted.text, "File encrypted successfully");
    fs::current_path(started);
    EXPECT_EQ(decrypted.text, "File decrypted successfully");
    EXPECT_EQ(Read("notes:v2.txt"), original);
    EXPECT_EQ(Read("v2.txt"), "unrelated");
}

// Readers of the format take a backslash for a folder separator: such a name is refused, with
// nothing written, rather than stored as a shorter name.
TEST_F(MainWindow, ANameWithABackslashIsRefusedAndNothingIsWritten) {
    Write("dir\\notes.txt", Sample(3000));
    Write("notes.txt", "unrelated");
    std::string message;
    Run([&] {
        TypeEncryption("dir\\notes.txt", "notes.velx", "long enough");
        Click(window->btnStart);
        message = Answer().text;
        WaitJobEnd();
        Quit();
    });
    EXPECT_EQ(message,
              "dir\\notes.txt: a file name with a backslash cannot be stored (rename the file)");
    EXPECT_EQ(Names(), (std::vector<std::string>{"dir\\notes.txt", "notes.txt"}));
}

// Boxes of the window's task and of the job's worker come and go at the same time: each one
// keeps the pointer busy until it has gone itself, and an extra "gone" changes nothing.
TEST_F(MainWindow, EveryBoxKeepsTheWaitPointerUntilItHasGone) {
    std::atomic<bool> stop{false};
    std::thread other([&] {
        while (!stop) {
            window->SetCursorWait(true);
            window->SetCursorWait(false);
        }
    });
    int lost = 0;
    for (int i = 0; i < 1000000 && lost == 0; ++i) {
        window->SetCursorWait(true);
        lost += window->CursorWait() ? 0 : 1;
        window->SetCursorWait(false);
    }
    stop = true;
    other.join();
    EXPECT_EQ(lost, 0);
    EXPECT_FALSE(window->CursorWait());
    window->SetCursorWait(false);
    window->SetCursorWait(true);
    EXPECT_TRUE(window->CursorWait());
    window->SetCursorWait(false);
}

// The exit question asked while a job runs: the job goes on behind it (its progress is seen),
// and once the job has ended and its box is answered, one Yes closes the window.
TEST_F(MainWindow, TheJobGoesOnBehindTheExitQuestionAndOneYesThenCloses) {
    Write("big.bin", Sample(1 << 20));
    int progressWhileAsked = -1;
    bool closedByOneYes = false;
    Run([&] {
        TypeEncryption("big.bin", "big.velx", "long enough");
        window->HoldNextJob();
        Click(window->btnStart);
        ASSERT_TRUE(window->WaitHeld());
        ClickForBox(window->btnClose);
        ASSERT_TRUE(WaitForBox("Do you really want to go exit?"));
        window->Release();
        ASSERT_TRUE(WaitForBox("File encrypted successfully"));
        for (int i = 0; i < 500 && window->prgStatus->GetValue() != 100; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        progressWhileAsked = window->prgStatus->GetValue();
        EXPECT_TRUE(PlatformTest::AnswerRequester(0));
        ASSERT_TRUE(WaitForBox("Do you really want to go exit?"));
        EXPECT_TRUE(PlatformTest::AnswerRequester(0));  // Yes
        for (int i = 0; i < 500 && window->IsLoad(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        closedByOneYes = !window->IsLoad();
        if (!closedByOneYes) {
            Quit();
        }
    });
    EXPECT_EQ(progressWhileAsked, 100);
    EXPECT_TRUE(closedByOneYes);
    EXPECT_TRUE(fs::exists(folder / "big.velx"));
}

// Yes to the exit question after the job's last box, while its worker has yet to return: the
// window closes as soon as the worker has returned, without a second close.
TEST_F(MainWindow, YesAfterTheLastBoxClosesOnceTheWorkerHasReturned) {
    Write("small.bin", Sample(4000));
    bool openWhileWorkerHeld = false;
    bool closedByOneYes = false;
    Run([&] {
        TypeEncryption("small.bin", "small.velx", "long enough");
        window->HoldAfterLastBox();
        Click(window->btnStart);
        EXPECT_EQ(Answer().text, "File encrypted successfully");
        ASSERT_TRUE(window->WaitHeld());
        Quit();
        openWhileWorkerHeld = window->IsLoad();
        window->Release();
        for (int i = 0; i < 500 && window->IsLoad(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        closedByOneYes = !window->IsLoad();
        if (!closedByOneYes) {
            Quit();
        }
    });
    EXPECT_TRUE(openWhileWorkerHeld);
    EXPECT_TRUE(closedByOneYes);
    EXPECT_TRUE(fs::exists(folder / "small.velx"));
}

}  // namespace
