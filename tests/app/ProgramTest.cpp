// The window program as a shell starts it: its options, answered without a desktop, and what it
// does, and what its documentation says it does, when there is no desktop.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "app/Arguments.h"

using namespace tessella;

namespace {

namespace fs = std::filesystem;

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Runs the program with no desktop at all.
Outcome RunProgram(const std::vector<std::string>& args) {
    const fs::path dir =
        fs::temp_directory_path() / ("tessella-program-" + std::to_string(getpid()));
    fs::create_directories(dir);
    std::string cmd =
        "cd '" + dir.string() + "' && env -u DISPLAY -u WAYLAND_DISPLAY '" + TESSELLA_PROGRAM + "'";
    for (const std::string& a : args) {
        cmd += " '" + a + "'";
    }
    cmd += " </dev/null >out 2>err";
    const int raw = std::system(cmd.c_str());
    Outcome o;
    o.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    o.out = ReadAll(dir / "out");
    o.err = ReadAll(dir / "err");
    fs::remove_all(dir);
    return o;
}

TEST(Program, HelpAndVersionAreAnsweredLikeAnyLinuxProgram) {
    for (const char* option : {"--help", "-h"}) {
        const Outcome help = RunProgram({option, "ignored.txt"});
        EXPECT_EQ(help.status, 0) << option;
        EXPECT_EQ(help.out, Arguments::Usage()) << option;
        EXPECT_EQ(help.err, "") << option;
    }
    EXPECT_EQ(std::string(Arguments::Usage())
                  .rfind("usage: tessella [--snapshot PNG [--scale FACTOR]] [--] [FILE]\n", 0),
              0u);
    const Outcome version = RunProgram({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("tessella ") + Arguments::Version() + "\n");
    EXPECT_NE(std::string(Arguments::Version()), "unknown");

    const Outcome unknown = RunProgram({"--bogus"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.err, "tessella: unknown option '--bogus'\nTry 'tessella --help'.\n");
    const Outcome noName = RunProgram({"--snapshot"});
    EXPECT_EQ(noName.status, 2);
    EXPECT_EQ(noName.err,
              "tessella: option '--snapshot' needs a file name\nTry 'tessella --help'.\n");
}

TEST(Program, TheSnapshotsFactorIsANumberFromOneToEightAndGoesWithASnapshot) {
    Arguments a = Arguments::Parse({"--snapshot", "shot.png", "--scale", "2"});
    EXPECT_EQ(a.action, Arguments::Action::kRun);
    EXPECT_EQ(a.scale, 2.0);
    a = Arguments::Parse({"--scale", "1.5", "--snapshot", "shot.png"});
    EXPECT_EQ(a.action, Arguments::Action::kRun);
    EXPECT_EQ(a.scale, 1.5);
    a = Arguments::Parse({"--snapshot", "shot.png", "--scale", "8"});
    EXPECT_EQ(a.action, Arguments::Action::kRun);
    EXPECT_EQ(a.scale, 8.0);
    for (const char* bad : {"0.5", "9", "8.5", "-2", "2x", "", ".5", "2.", "1e1", "nan", "1..5"}) {
        a = Arguments::Parse({"--snapshot", "shot.png", "--scale", bad});
        EXPECT_EQ(a.action, Arguments::Action::kUsageError) << bad;
        EXPECT_EQ(a.error, "option '--scale' needs a factor from 1 to 8") << bad;
    }
    EXPECT_EQ(Arguments::Parse({"--snapshot", "shot.png", "--scale"}).error,
              "option '--scale' needs a factor from 1 to 8");
    a = Arguments::Parse({"--scale", "2"});
    EXPECT_EQ(a.action, Arguments::Action::kUsageError);
    EXPECT_EQ(a.error, "option '--scale' sizes the snapshot: it needs '--snapshot'");
}

TEST(Program, AfterTheEndOfOptionsEveryArgumentIsAFile) {
    Arguments a = Arguments::Parse({"--", "--help"});
    EXPECT_EQ(a.action, Arguments::Action::kRun);
    EXPECT_EQ(a.source, "--help");
    a = Arguments::Parse({"--snapshot", "shot.png", "-", "second"});
    EXPECT_EQ(a.action, Arguments::Action::kRun);
    EXPECT_EQ(a.snapshot, "shot.png");
    EXPECT_EQ(a.source, "-");  // one source; a second file is left out
    a = Arguments::Parse({"notes.txt", "--version"});
    EXPECT_EQ(a.action, Arguments::Action::kVersion);
    a = Arguments::Parse({});
    EXPECT_EQ(a.action, Arguments::Action::kRun);
    EXPECT_EQ(a.source, "");
}

// Without a desktop the window could be neither seen nor closed: the program says so and ends
// with status 1, and the README and the manual page say the same.
TEST(Program, WithNoDesktopItEndsAsDocumented) {
    const Outcome o = RunProgram({"--", "--help"});
    const std::string message = "tessella: there is no desktop to open the window on.";
    EXPECT_EQ(o.status, 1);
    // After the platform's own line on the missing display.
    ASSERT_GE(o.err.size(), message.size() + 1);
    EXPECT_EQ(o.err.substr(o.err.size() - message.size() - 1), message + "\n") << o.err;
    EXPECT_EQ(o.out, "");

    const std::string readme = ReadAll(fs::path(TESSELLA_SOURCE_DIR) / "README.md");
    EXPECT_NE(readme.find("\"" + message + "\""), std::string::npos);
    EXPECT_NE(readme.find("exits with status 1"), std::string::npos);
    const std::string page = ReadAll(fs::path(TESSELLA_SOURCE_DIR) / "docs/man/tessella.1");
    EXPECT_NE(page.find("there is no desktop to show the window on"), std::string::npos);
}

}  // namespace
