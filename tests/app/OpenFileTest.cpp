// Files handed to the window (its command line, a drop): which view they open, what becomes of
// the destination the user typed, names the window cannot draw, and a destination whose folder
// cannot take a file.
#include <optional>

#include "MainWindowFixture.h"
#include "controls/ButtonCustom.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "engine/CryptEngine.h"
#include "tests/support/VirtualClock.h"

using namespace tessella;

namespace {

// What the window's task sees at each banner tick: the test reads this, never the boxes that the
// window may be filling in at that moment.
class SeenWindow : public HeldWindow {
public:
    using HeldWindow::HeldWindow;

    struct Seen {
        std::string files, destination;
        bool encrypts = true;
        bool destinationShown = true;
    };
    Seen Last() {
        const std::lock_guard<std::mutex> hold(lock);
        return seen;
    }

    void evTimer() override {
        HeldWindow::evTimer();
        const std::lock_guard<std::mutex> hold(lock);
        seen = {txtFiles->GetText(), txtDestination->GetText(), encryptMode,
                txtDestination->IsVisible()};
    }

private:
    std::mutex lock;
    Seen seen;
};

class OpenFile : public MainWindow {
protected:
    void SetUp() override {
        MainWindow::SetUp();
        delete window;
        seenWindow = new SeenWindow(screen, title);
        window = seenWindow;
        ASSERT_TRUE(window->IsLoad());
    }

    // Drops one file on the window and steps the clock until the window has made it the source.
    // The window takes drops from its banner's first tick on (1.5 s after it opened, pausing
    // 100 ms as it starts its poll), then at each look of the poll; what it shows is read at the
    // banner's next tick.
    bool Drop(const std::string& path, const std::string& shown, SeenWindow::Seen& seen) {
        if (!clock) {
            clock.emplace();
            PlatformTest::AdvanceClock(Banner::kTickMs);
            if (!PlatformTest::WaitDelays(1)) {
                return false;
            }
            PlatformTest::AdvanceClock(100);
        }
        if (!PlatformTest::WaitTimerRequests(2)) {  // the banner and the poll
            return false;
        }
        PlatformTest::MovePointer(400, 450);
        if (!PlatformTest::DropFiles({path})) {
            return false;
        }
        PlatformTest::AdvanceClock(FormMain::kDropMs);
        PlatformTest::WaitTimerRequests(2);
        PlatformTest::AdvanceClock(Banner::kTickMs);
        PlatformTest::WaitTimerRequests(2);
        seen = seenWindow->Last();
        return seen.files == shown;
    }

    // Time runs again for the exit question, which holds the button down on the window's task.
    void Quit() {
        clock.reset();
        MainWindow::Quit();
    }

    std::optional<VirtualClock> clock;
    SeenWindow* seenWindow = nullptr;

    // The start of an encrypted file; what follows does not matter to the view.
    static std::string Signed(const std::string& rest) {
        return std::string(CryptEngine::kSignature, sizeof CryptEngine::kSignature) + rest;
    }
};

TEST_F(OpenFile, ADroppedFileKeepsTheDestinationTheUserTyped) {
    Write("a.txt", "a");
    Write("b.txt", "b");
    Write("c.txt", "c");
    SeenWindow::Seen typedKept, proposed, proposedAgain;
    Run([&] {
        Type(window->txtDestination, Path("mine.velx"));
        EXPECT_TRUE(Drop(Path("a.txt"), Path("a.txt"), typedKept));
        Clear(window->txtDestination);
        EXPECT_TRUE(Drop(Path("b.txt"), Path("b.txt"), proposed));
        // The window's own proposal follows the next file: it was never the user's choice.
        EXPECT_TRUE(Drop(Path("c.txt"), Path("c.txt"), proposedAgain));
        Quit();
    });
    EXPECT_EQ(typedKept.destination, Path("mine.velx"));
    EXPECT_EQ(proposed.destination, Path("b.velx"));
    EXPECT_EQ(proposedAgain.destination, Path("c.velx"));
}

// The view follows the file's first bytes, not its name; only a file that cannot be read is
// judged by its name. Each file below switches the view.
TEST_F(OpenFile, TheViewIsChosenByTheFilesSignature) {
    Write("plain.txt", "plain");
    Write("renamed.bin", Signed(Sample(300)));
    Write("fake.velx", "plain text that only bears the name");
    window->OpenPath(Path("gone.velx"));  // nothing to read: the name decides
    const bool goneDecrypts = !window->encryptMode;
    SeenWindow::Seen plain, renamed, fake;
    Run([&] {
        EXPECT_TRUE(Drop(Path("plain.txt"), Path("plain.txt"), plain));
        EXPECT_TRUE(Drop(Path("renamed.bin"), Path("renamed.bin"), renamed));
        EXPECT_TRUE(Drop(Path("fake.velx"), Path("fake.velx"), fake));
        Quit();
    });
    EXPECT_TRUE(goneDecrypts);
    EXPECT_TRUE(plain.encrypts);
    EXPECT_EQ(plain.destination, Path("plain.velx"));
    EXPECT_FALSE(renamed.encrypts);
    EXPECT_FALSE(renamed.destinationShown);
    EXPECT_TRUE(fake.encrypts);
    // Its own name would be refused as the destination: none is proposed, and the one proposed
    // for plain.txt no longer fits.
    EXPECT_EQ(fake.destination, "");
}

TEST_F(OpenFile, ANameTheWindowCannotDrawShowsAStandInForEachCharacter) {
    Write("\xCE\xA9mega.txt", "omega");
    PlatformTest::RequesterView refused;
    std::thread person([&] { refused = AnswerBeforeTheLoop(); });
    window->OpenPath(Path("\xCE\xA9mega.txt"));
    person.join();
    std::string files;
    Run([&] {
        files = window->txtFiles->GetText();
        Quit();
    });
    EXPECT_EQ(refused.text,
              Path("?mega.txt") + ": the name holds characters this window cannot show");
    EXPECT_EQ(files, "");
}

// A name may hold control characters; a box shows them escaped, never obeys or drops them.
TEST_F(OpenFile, ControlCharactersInANameAreShownEscaped) {
    const std::string crafted = "line\nbreak\x1B[2J.txt";
    Write(crafted, Sample(2000));
    Write("line\nbreak\x1B[2J.velx", "in the way");
    window->OpenPath(Path(crafted));
    std::string question;
    Run([&] {
        Type(window->txtPassword, "long enough");
        Type(window->txtConfirm, "long enough");
        Click(window->btnStart);
        question = Answer(1).text;  // NO
        WaitJobEnd();
        Quit();
    });
    EXPECT_EQ(question, Path("line\\nbreak\\x1B[2J.velx") + " exists. Replace it?");
    EXPECT_EQ(Read("line\nbreak\x1B[2J.velx"), "in the way");
}

TEST_F(OpenFile, ADestinationInAMissingFolderSaysWhichAndWhyAndTakesTheKeyboard) {
    Write("data.bin", Sample(3000));
    std::string message, destination;
    Run([&] {
        FillEncryption(Path("data.bin"), Path("missing/data.velx"), "long enough");
        Click(window->btnStart);
        message = Answer().text;
        WaitJobEnd();
        PlatformTest::TypeText("Z");
        Settle();
        destination = window->txtDestination->GetText();
        Quit();
    });
    EXPECT_EQ(message,
              Path("missing") + ": cannot write in this folder (No such file or directory)");
    EXPECT_EQ(destination, Path("missing/data.velx") + "Z");
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
}

}  // namespace
