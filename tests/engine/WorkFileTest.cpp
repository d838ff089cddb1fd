#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "WorkFile.h"

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
