#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/WorkFile.h"
#include "tests/support/TempDir.h"

using namespace tessella;

using Names = std::vector<std::string>;

namespace {

int ModeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<int>(st.st_mode & 0777) : -1;
}

void Fill(const WorkFile& work, const std::string& bytes) {
    // Through its path, as the engine's passes reach it.
    std::ofstream(work.Path(), std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

TEST(WorkFile, EitherKindNeverReplacesAnExistingFileUnlessAskedTo) {
    for (WorkFile::Kind kind : {WorkFile::Kind::kUnnamedWherePossible, WorkFile::Kind::kNamed}) {
        TempDir dir;
        dir.Write("dest", "the user's file");
        WorkFile work;
        ASSERT_TRUE(work.Create(dir.Path(""), kind));
        EXPECT_EQ(ModeOf(work.Path()), 0600);
        EXPECT_EQ(dir.List().size(), kind == WorkFile::Kind::kNamed ? 2u : 1u);
        Fill(work, "new content");

        errno = 0;
        EXPECT_FALSE(work.Commit(dir.Path("dest"), 0640, false));
        EXPECT_EQ(errno, EEXIST);
        EXPECT_EQ(TempDir::Read(dir.Path("dest")), "the user's file");

        ASSERT_TRUE(work.Commit(dir.Path("dest"), 0640, true));
        EXPECT_EQ(TempDir::Read(dir.Path("dest")), "new content");
        EXPECT_EQ(ModeOf(dir.Path("dest")), 0640);
        EXPECT_EQ(dir.List(), Names{"dest"});
        EXPECT_FALSE(work.IsOpen());
    }
}

TEST(WorkFile, CommitGivesANewNameAndDiscardLeavesNothing) {
    for (WorkFile::Kind kind : {WorkFile::Kind::kUnnamedWherePossible, WorkFile::Kind::kNamed}) {
        TempDir dir;
        {
            WorkFile work;
            ASSERT_TRUE(work.Create(dir.Path(""), kind));
            EXPECT_EQ(work.IsNamed(), kind == WorkFile::Kind::kNamed);
            Fill(work, "abc");
            ASSERT_TRUE(work.Commit(dir.Path("kept"), 0604, false));
        }
        EXPECT_EQ(TempDir::Read(dir.Path("kept")), "abc");
        EXPECT_EQ(ModeOf(dir.Path("kept")), 0604);
        {
            WorkFile dropped;
            ASSERT_TRUE(dropped.Create(dir.Path(""), kind));
            Fill(dropped, "partial plaintext");
            WorkFile forgotten;  // destroyed without a word
            ASSERT_TRUE(forgotten.Create(dir.Path(""), kind));
            dropped.Discard();
        }
        EXPECT_EQ(dir.List(), Names{"kept"});
    }
}

TEST(WorkFile, AMissingFolderFails) {
    TempDir dir;
    WorkFile work;
    EXPECT_FALSE(work.Create(dir.Path("no/such/folder/")));
    EXPECT_FALSE(work.IsOpen());
    EXPECT_TRUE(work.Path().empty());
}

TEST(WorkFile, ANamedFileIsReachedThroughItsDescriptorNotItsName) {
    // In a folder others can write to, the work file's name may be taken away and replaced by a
    // link to someone's file between its creation and the passes that fill it.
    TempDir dir;
    const std::string victim = dir.Write("victim", "someone's file");
    WorkFile work;
    ASSERT_TRUE(work.Create(dir.Path(""), WorkFile::Kind::kNamed));
    std::string name;
    for (const std::string& n : dir.List()) {
        if (n != "victim") {
            name = n;
        }
    }
    ASSERT_FALSE(name.empty());
    std::filesystem::rename(dir.Path(name), dir.Path("moved"));
    std::filesystem::create_symlink(victim, dir.Path(name));
    Fill(work, "ciphertext");
    EXPECT_EQ(TempDir::Read(victim), "someone's file");
    EXPECT_EQ(TempDir::Read(dir.Path("moved")), "ciphertext");
    // Nor is the link given the destination's name, or removed as if it were the work file.
    EXPECT_FALSE(work.Commit(dir.Path("dest"), 0600, false));
    EXPECT_FALSE(work.Commit(dir.Path("dest"), 0600, true));
    work.Discard();
    EXPECT_FALSE(std::filesystem::exists(dir.Path("dest")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Path(name)));
    EXPECT_EQ(TempDir::Read(victim), "someone's file");
}

namespace {

// The parts of a work file's name: maker's host, boot, id space, id and start, and a count.
struct WorkName {
    std::string host, boot, space, pid, start, n;
    std::string Text() const {
        return ".tessella-" + host + "-" + boot + "-" + space + "-" + pid + "-" + start + "-" + n +
               ".part";
    }
};

// Reads the parts back from the right, as a host name may hold "-".
WorkName Parse(std::string name) {
    name = name.substr(10, name.size() - 15);
    std::string parts[5];
    for (std::string& part : parts) {
        part = name.substr(name.rfind('-') + 1);
        name.erase(name.rfind('-'));
    }
    return {name, parts[4], parts[3], parts[2], parts[1], parts[0]};
}

std::string DeadPid() {
    const pid_t child = fork();
    if (child == 0) {
        _exit(0);
    }
    waitpid(child, nullptr, 0);
    return std::to_string(child);
}

}  // namespace

// Only work files whose maker has surely ended, that are this user's and have no other name,
// are removed; whatever else looks like one stays.
TEST(WorkFile, LeftoversOfEndedProcessesGoAndNothingElseDoes) {
    TempDir dir;
    WorkFile live;
    ASSERT_TRUE(live.Create(dir.Path(""), WorkFile::Kind::kNamed));
    ASSERT_EQ(dir.List().size(), 1u);
    const std::string liveName = dir.List()[0];
    const WorkName self = Parse(liveName);
    EXPECT_EQ(self.pid, std::to_string(getpid()));
    EXPECT_EQ(self.Text(), liveName);

    const auto named = [&](auto change) {
        WorkName n = self;
        n.n = "7";
        change(n);
        return n.Text();
    };
    const std::string dead = named([](WorkName& n) { n.pid = DeadPid(); });
    const std::string reused = named([](WorkName& n) { n.start = "1"; });  // our id, not our start
    const std::string earlierBoot = named([](WorkName& n) { n.boot = "0123456789abcdef"; });
    const std::string otherHost = named([](WorkName& n) {
        n.host = "another-host";
        n.pid = "1";
    });
    const std::string otherSpace = named([](WorkName& n) {
        n.space = "99";
        n.pid = DeadPid();
    });
    for (const std::string& name : {dead, reused, earlierBoot, otherHost, otherSpace}) {
        dir.Write(name, "partial plaintext");
    }
    // Planted names: a link to a file, a second name of one, a folder, an older program's name.
    const std::string precious = dir.Write("precious", "someone's file");
    const std::string planted = named([](WorkName& n) {
        n.n = "8";
        n.pid = DeadPid();
    });
    std::filesystem::create_symlink(precious, dir.Path(planted));
    const std::string linked = named([](WorkName& n) {
        n.n = "9";
        n.pid = DeadPid();
    });
    ASSERT_EQ(::link(precious.c_str(), dir.Path(linked).c_str()), 0);
    const std::string folder = named([](WorkName& n) {
        n.n = "10";
        n.pid = DeadPid();
    });
    std::filesystem::create_directory(dir.Path(folder));
    dir.Write(".tessella-12345-0.part", "older program");

    EXPECT_EQ(WorkFile::RemoveLeftovers(dir.Path("")), 3);
    std::vector<std::string> expected{
        liveName,  otherHost, otherSpace, planted, linked, folder, ".tessella-12345-0.part",
        "precious"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(dir.List(), expected);
    EXPECT_EQ(TempDir::Read(precious), "someone's file");
    EXPECT_TRUE(live.Commit(dir.Path("done"), 0600, false));
}
