#include <gtest/gtest.h>

#include <string>

#include "engine/FileUtils.h"
#include "engine/OpenBinaryFile.h"
#include "engine/OpenTextFile.h"
#include "tests/support/TempDir.h"

using namespace tessella;

TEST(OpenBinaryFile, MissingFileIsInert) {
    TempDir dir;
    OpenBinaryFile f(dir.Path("missing"));
    EXPECT_EQ(f.Errore(), 1);
    EXPECT_EQ(f.NoFound(), 1);
    char buf[8] = {};
    EXPECT_EQ(f.GetContenuto(0, buf, 8), 0);
    EXPECT_FALSE(f.SaveContenuto(0, buf, 8));
    EXPECT_FALSE(f.isEOF());
    f.CloseFile();
    f.CloseFile();  // and the destructor after it
}

TEST(OpenBinaryFile, ShortReadAtTheEndIsNoError) {
    TempDir dir;
    const std::string bytes = TempDir::RandomBytes(150, 1);
    OpenBinaryFile f(dir.Write("a", bytes));
    char buf[128];
    EXPECT_EQ(f.GetContenuto(100, buf, 128), 50);
    EXPECT_EQ(f.Errore(), 0);
    EXPECT_TRUE(f.isEOF());
    EXPECT_EQ(std::string(buf, 50), bytes.substr(100));
    // The stream stays failed after the end: a further read fails at its seek.
    EXPECT_EQ(f.GetContenuto(0, buf, 10), 0);
    EXPECT_EQ(f.Errore(), 1);

    OpenBinaryFile g(dir.Path("a"));
    EXPECT_EQ(g.GetContenuto(150, buf, 128), 0);
    EXPECT_EQ(g.Errore(), 0);
    EXPECT_TRUE(g.isEOF());
}

TEST(OpenBinaryFile, AppendModeWritesAtTheEndWhateverOffsetIsAsked) {
    TempDir dir;
    const std::string head(216, 'h');
    dir.Write("f", head);
    {
        OpenBinaryFile f(dir.Path("f"), 0, 0, 1);
        char tail[] = "tail";
        EXPECT_TRUE(f.SaveContenuto(0, tail, 4));
        f.CloseFile();
    }
    EXPECT_EQ(TempDir::Read(dir.Path("f")), head + "tail");
    {
        OpenBinaryFile created(dir.Path("new"), 0, 0, 1);
        char x[] = "x";
        EXPECT_TRUE(created.AppendContenuto(x, 1));
    }
    EXPECT_EQ(TempDir::Read(dir.Path("new")), "x");
}

// Neither created nor appended to: the bytes land at the offset asked, the rest of the file
// stays, and a missing file is not made.
TEST(OpenBinaryFile, WritingInPlaceKeepsTheRestAndMakesNoFile) {
    TempDir dir;
    dir.Write("f", "0123456789");
    {
        OpenBinaryFile f(dir.Path("f"), 0, 0, 0);
        char ab[] = "ab";
        EXPECT_TRUE(f.SaveContenuto(4, ab, 2));
    }
    EXPECT_EQ(TempDir::Read(dir.Path("f")), "0123ab6789");
    OpenBinaryFile missing(dir.Path("missing"), 0, 0, 0);
    EXPECT_EQ(missing.NoFound(), 1);
    EXPECT_FALSE(FileUtils::FileEsistente(dir.Path("missing")));
}

// A copy holds the source's bytes; an empty or missing source copies nothing and makes nothing.
TEST(FileUtils, CopyFileCopiesTheBytesAndRefusesAnEmptyOrMissingSource) {
    TempDir dir;
    const std::string bytes = TempDir::RandomBytes(70000, 3);
    EXPECT_TRUE(FileUtils::CopyFile(dir.Write("a", bytes), dir.Path("b")));
    EXPECT_EQ(TempDir::Read(dir.Path("b")), bytes);
    EXPECT_FALSE(FileUtils::CopyFile(dir.Write("empty", ""), dir.Path("c")));
    EXPECT_FALSE(FileUtils::CopyFile(dir.Path("missing"), dir.Path("d")));
    EXPECT_FALSE(FileUtils::FileEsistente(dir.Path("c")));
    EXPECT_FALSE(FileUtils::FileEsistente(dir.Path("d")));
}

TEST(OpenBinaryFile, CreateModeTruncates) {
    TempDir dir;
    dir.Write("f", "0123456789");
    OpenBinaryFile f(dir.Path("f"), 0, 1);
    char ab[] = "ab";
    EXPECT_TRUE(f.SaveContenuto(4, ab, 2));
    f.CloseFile();
    EXPECT_EQ(TempDir::Read(dir.Path("f")), std::string("\0\0\0\0ab", 6));
}

TEST(OpenTextFile, LinesRoundTripAndOverlongLineEndsTheList) {
    TempDir dir;
    OpenTextFile t(dir.Path("log.txt"));
    EXPECT_TRUE(t.SetContenuto({"first", "second"}));
    EXPECT_TRUE(t.AppendContenuto({"third"}));
    EXPECT_EQ(t.GetContenuto(), (std::vector<std::string>{"first", "second", "third"}));
    EXPECT_EQ(t.GetContenutoString(), "first\r\nsecond\r\nthird\r\n");

    dir.Write("long.txt", "one\n" + std::string(300, 'x') + "\nthree\n");
    EXPECT_EQ(OpenTextFile(dir.Path("long.txt")).GetContenuto(), std::vector<std::string>{"one"});
    // 255 bytes still fit; a last line without its line feed counts.
    const std::string fits(255, 'y');
    dir.Write("fits.txt", fits + "\nlast");
    EXPECT_EQ(OpenTextFile(dir.Path("fits.txt")).GetContenuto(),
              (std::vector<std::string>{fits, "last"}));

    OpenTextFile missing(dir.Path("none"));
    EXPECT_TRUE(missing.GetContenuto().empty());
    EXPECT_EQ(missing.NoFound(), 1);
    EXPECT_EQ(missing.GetContenutoString(), "");
}

TEST(FileUtils, PathParts) {
    EXPECT_EQ(FileUtils::GetPathName("notes.txt"), "");
    EXPECT_EQ(FileUtils::GetNameFromPathName("notes.txt"), "notes.txt");
    EXPECT_EQ(FileUtils::GetPathName("Work:notes.txt"), "Work:");
    EXPECT_EQ(FileUtils::GetPathName("/home/a/b.velx"), "/home/a/");
    EXPECT_EQ(FileUtils::GetPathName("dir\\sub\\f"), "dir/sub/");
    EXPECT_EQ(FileUtils::GetNameFromPathName("dir\\sub\\f"), "f");
    EXPECT_EQ(FileUtils::AddDirSeparator(""), "");
    EXPECT_EQ(FileUtils::AddDirSeparator("a"), "a/");
    EXPECT_EQ(FileUtils::AddDirSeparator("Work:"), "Work:");
    EXPECT_EQ(FileUtils::AddDirSeparator("a/"), "a/");
    EXPECT_EQ(FileUtils::AddSuffix("photo.JPG", ".jpg"), "photo.JPG");
    EXPECT_EQ(FileUtils::AddSuffix("photo", ".jpg"), "photo.jpg");
    EXPECT_EQ(FileUtils::AddSuffix("", ".jpg"), "");
}

TEST(FileUtils, ChecksumFoldsSixteenColumns) {
    TempDir dir;
    EXPECT_EQ(FileUtils::GetFileChecksum(dir.Write("abc", "abc")), "616263" + std::string(26, '0'));
    const std::string half = TempDir::RandomBytes(16, 7);
    EXPECT_EQ(FileUtils::GetFileChecksum(dir.Write("halves", half + half)),
              FileUtils::kZeroChecksum);
    EXPECT_EQ(FileUtils::GetFileChecksum(dir.Write("empty", "")), FileUtils::kZeroChecksum);
    EXPECT_EQ(FileUtils::GetFileChecksum(dir.Path("missing")), FileUtils::kZeroChecksum);

    // Across the 10,240-byte read blocks the column is still the offset modulo 16.
    std::string big(10240 + 17, '\0');
    big[10240 + 16] = '\x5A';
    EXPECT_EQ(FileUtils::GetFileChecksum(dir.Write("big", big)), "5A" + std::string(30, '0'));
}

TEST(FileUtils, UnreadableFileGivesTheZeroChecksumNotAPartialOne) {
    TempDir dir;
    // A folder opens but every read fails.
    std::filesystem::create_directory(dir.Path("folder"));
    EXPECT_EQ(FileUtils::GetFileChecksum(dir.Path("folder")), FileUtils::kZeroChecksum);
    // The job's form tells the failure from a file whose bytes fold to zero.
    std::string checksum = "untouched";
    EXPECT_FALSE(FileUtils::GetFileChecksum(dir.Path("folder"), checksum));
    EXPECT_EQ(checksum, "untouched");
    EXPECT_TRUE(FileUtils::GetFileChecksum(dir.Write("zero", std::string(32, 'z')), checksum));
    EXPECT_EQ(checksum, FileUtils::kZeroChecksum);
}

TEST(FileUtils, SameFileSeesThroughSpellingsAndLinks) {
    TempDir dir;
    dir.Write("a", "x");
    dir.Write("b", "x");
    std::filesystem::create_symlink(dir.Path("a"), dir.Path("sym"));
    std::filesystem::create_hard_link(dir.Path("a"), dir.Path("hard"));
    EXPECT_TRUE(FileUtils::SameFile(dir.Path("a"), dir.Path("./a")));
    EXPECT_TRUE(FileUtils::SameFile(dir.Path("a"), dir.Path("sym")));
    EXPECT_TRUE(FileUtils::SameFile(dir.Path("a"), dir.Path("hard")));
    EXPECT_FALSE(FileUtils::SameFile(dir.Path("a"), dir.Path("b")));
    EXPECT_FALSE(FileUtils::SameFile(dir.Path("a"), dir.Path("missing")));
}
