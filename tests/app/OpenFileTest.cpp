// Files handed to the window (its command line, a drop): which view they open, what becomes of
// the destination the user typed, names the window cannot draw, and a destination whose folder
// cannot take a file.
#include "ButtonCustom.h"
#include "CryptEngine.h"
#include "MainWindowFixture.h"
#include "TextBox.h"
#include "TextBoxCustom.h"

namespace {

class OpenFile : public MainWindow {
protected:
    // Drops one file on the window and waits until the window has made it the source. The window
    // looks for drops from its banner's first tick on, 1.5 s after it opened; the box is read
    // while the loop waits.
    bool Drop(const std::string& path, const std::string& shown) {
        PlatformTest::MovePointer(400, 450);
        if (!PlatformTest::DropFiles({path})) {
            return false;
        }
        for (int i = 0; i < 60; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            Settle();
            if (window->txtFiles->GetText() == shown) {
                return true;
            }
        }
        return false;
    }

    // The start of an encrypted file; what follows does not matter to the view.
    static std::string Signed(const std::string& rest) {
        return std::string(CryptEngine::kSignature, sizeof CryptEngine::kSignature) + rest;
    }
};

TEST_F(OpenFile, ADroppedFileKeepsTheDestinationTheUserTyped) {
    Write("a.txt", "a");
    Write("b.txt", "b");
    Write("c.txt", "c");
    std::string typedKept, proposed, proposedAgain;
    Run([&] {
        Type(window->txtDestination, Path("mine.velx"));
        ASSERT_TRUE(Drop(Path("a.txt"), Path("a.txt")));
        typedKept = window->txtDestination->GetText();
        Clear(window->txtDestination);
        ASSERT_TRUE(Drop(Path("b.txt"), Path("b.txt")));
        proposed = window->txtDestination->GetText();
        // The window's own proposal follows the next file: it was never the user's choice.
        ASSERT_TRUE(Drop(Path("c.txt"), Path("c.txt")));
        proposedAgain = window->txtDestination->GetText();
        Quit();
    });
    EXPECT_EQ(typedKept, Path("mine.velx"));
    EXPECT_EQ(proposed, Path("b.velx"));
    EXPECT_EQ(proposedAgain, Path("c.velx"));
}

// The view follows the file's first bytes, not its name; only a file that cannot be read is
// judged by its name. Each file below switches the view.
TEST_F(OpenFile, TheViewIsChosenByTheFilesSignature) {
    Write("plain.txt", "plain");
    Write("renamed.bin", Signed(Sample(300)));
    Write("fake.velx", "plain text that only bears the name");
    window->OpenPath(Path("gone.velx"));  // nothing to read: the name decides
    const bool goneDecrypts = !window->encryptMode;
    bool plainEncrypts = false, renamedDecrypts = false, fakeEncrypts = false;
    std::string plainDestination, fakeDestination;
    Run([&] {
        ASSERT_TRUE(Drop(Path("plain.txt"), Path("plain.txt")));
        plainEncrypts = window->encryptMode;
        plainDestination = window->txtDestination->GetText();
        ASSERT_TRUE(Drop(Path("renamed.bin"), Path("renamed.bin")));
        renamedDecrypts = !window->encryptMode && !window->txtDestination->IsVisible();
        ASSERT_TRUE(Drop(Path("fake.velx"), Path("fake.velx")));
        fakeEncrypts = window->encryptMode;
        fakeDestination = window->txtDestination->GetText();
        Quit();
    });
    EXPECT_TRUE(goneDecrypts);
    EXPECT_TRUE(plainEncrypts);
    EXPECT_EQ(plainDestination, Path("plain.velx"));
    EXPECT_TRUE(renamedDecrypts);
    EXPECT_TRUE(fakeEncrypts);
    // Its own name would be refused as the destination: none is proposed, and the one proposed
    // for plain.txt no longer fits.
    EXPECT_EQ(fakeDestination, "");
}

TEST_F(OpenFile, ANameTheWindowCannotDrawShowsAStandInForEachCharacter) {
    Write("\xCE\xA9mega.txt", "omega");
    PlatformTest::RequesterView refused;
    std::thread person([&] { refused = Answer(); });
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

TEST_F(OpenFile, ADestinationInAMissingFolderSaysWhichAndWhyAndTakesTheKeyboard) {
    Write("data.bin", Sample(3000));
    std::string message, destination;
    Run([&] {
        Type(window->txtFiles, Path("data.bin"));
        Type(window->txtDestination, Path("missing/data.velx"));
        Type(window->txtPassword, "long enough");
        Type(window->txtConfirm, "long enough");
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
