// The program's start-up: where its log goes, what it leaves alone, the screen and its colours.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "engine/OpenTextFile.h"
#include "platform_test.h"
#include "runtime/Application.h"
#include "runtime/OrvScreen.h"
#include "runtime/Startup.h"

using namespace tessella;

namespace {

namespace fs = std::filesystem;

class StateFolder : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::temp_directory_path() / ("tessella-state-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root);
        savedLog = Application::GetLogFile();
        const char* state = std::getenv("XDG_STATE_HOME");
        hadState = state != nullptr;
        if (hadState) {
            savedState = state;
        }
        const char* home = std::getenv("HOME");
        savedHome = home != nullptr ? home : "";
    }
    void TearDown() override {
        Application::SetLogFile(savedLog);
        if (hadState) {
            setenv("XDG_STATE_HOME", savedState.c_str(), 1);
        } else {
            unsetenv("XDG_STATE_HOME");
        }
        setenv("HOME", savedHome.c_str(), 1);
        fs::remove_all(root);
    }

    fs::path root;
    std::string savedLog;
    std::string savedState;
    std::string savedHome;
    bool hadState = false;
};

TEST_F(StateFolder, TheLogLivesInAFolderOfTheUserAloneAndStartsEmpty) {
    setenv("XDG_STATE_HOME", root.c_str(), 1);
    const fs::path folder = root / "tessella";
    fs::create_directories(folder);
    std::ofstream(folder / "log.txt") << "line of an earlier run\n";
    // A user's own log.txt in the working folder is no business of the program.
    std::ofstream("log.txt") << "the user's notes\n";

    Startup::PrepareLog();
    EXPECT_EQ(Application::GetLogFile(), (folder / "log.txt").string());
    Application::Log("Can't open locale.library!");
    EXPECT_EQ(OpenTextFile((folder / "log.txt").string()).GetContenuto(),
              std::vector<std::string>{"Can't open locale.library!"});
    EXPECT_EQ(OpenTextFile("log.txt").GetContenuto(), std::vector<std::string>{"the user's notes"});
    fs::remove("log.txt");
}

TEST_F(StateFolder, TheFolderIsMadePrivateUnderHomeWithoutTheVariable) {
    unsetenv("XDG_STATE_HOME");
    setenv("HOME", root.c_str(), 1);
    const std::string folder = Startup::StateFolder();
    EXPECT_EQ(folder, (root / ".local" / "state" / "tessella").string());
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // A relative variable is not a place the program may write to.
    setenv("XDG_STATE_HOME", "relative/state", 1);
    EXPECT_EQ(Startup::StateFolder(), folder);
}

TEST_F(StateFolder, WithNoPlaceForTheLogNothingIsWrittenElsewhere) {
    std::ofstream(root / "file") << "x";
    setenv("XDG_STATE_HOME", (root / "file").c_str(), 1);  // a file where a folder should be
    Startup::PrepareLog();
    EXPECT_EQ(Application::GetLogFile(), "");
    Application::Log("only on standard output");
    EXPECT_FALSE(fs::exists(root / "file" / "tessella"));
}

TEST(Screen, TitleAndPaletteReachTheProgramScreen) {
    const std::string title = Startup::WindowTitle();
    EXPECT_EQ(title.rfind("Tessella Cross Edition ", 0), 0u);
    OrvScreen screen(title.c_str());
    ASSERT_NE(screen.GetHandle(), nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(screen.GetHandle()->Title), title.c_str());
    Startup::LoadPalette(&screen);
    ASSERT_TRUE(PlatformTest::WaitIdle());
    // Pens the windows name by number, and ramps that run the way they are described.
    EXPECT_EQ(Startup::PenColour(3), 0x00A6D6ul);
    EXPECT_EQ(Startup::PenColour(15), 0x00AA00ul);
    EXPECT_EQ(Startup::PenColour(32), 0xFF0000ul);
    EXPECT_EQ(Startup::PenColour(47), 0x400000ul);
    EXPECT_EQ(Startup::PenColour(192), 0xFFE9DEul);
    EXPECT_EQ(Startup::PenColour(223), 0x210000ul);
    EXPECT_EQ(Startup::PenColour(254), 0xC72B2Bul);
    for (int pen = 96; pen < 111; ++pen) {
        EXPECT_GT(Startup::PenColour(pen) & 0xFF00, Startup::PenColour(pen + 1) & 0xFF00);
    }
    // The named greys are neutral, and from pen 20 on each is darker than the one before.
    for (int pen : {0, 16, 18, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31}) {
        const unsigned long c = Startup::PenColour(pen);
        EXPECT_EQ(c >> 16, (c >> 8) & 0xFF) << pen;
        EXPECT_EQ(c >> 16, c & 0xFF) << pen;
        if (pen > 20) {
            EXPECT_LT(c, Startup::PenColour(pen - 1)) << pen;
        }
    }
    SetAPen(&screen.GetHandle()->RastPort, 254);
    RectFill(&screen.GetHandle()->RastPort, 700, 500, 710, 510);
    ASSERT_TRUE(PlatformTest::WaitIdle());
    EXPECT_EQ(PlatformTest::ReadScreenColor(705, 505), 0xC72B2B);
    EXPECT_TRUE(screen.Close());
}

}  // namespace
