// DOS files, AROS volume names and command lines.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "dos.h"

namespace {

std::string TempPath(const char* leaf) {
    const char* dir = std::getenv("TMPDIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp") + "/" + leaf;
}

TEST(DosFiles, ReadAndSeekAnExistingFileThroughRamT) {
    const std::string leaf = "tessella_dos_" + std::to_string(::getpid());
    {
        std::ofstream out(TempPath(leaf.c_str()), std::ios::binary);
        out << "FORM0123456789";
    }
    const std::string amigaName = "RAM:T/" + leaf;
    BPTR fh = Open(amigaName.c_str(), MODE_OLDFILE);
    ASSERT_NE(fh, nullptr);
    char buffer[8] = {};
    EXPECT_EQ(Read(fh, buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "FORM");
    EXPECT_EQ(Seek(fh, 2, OFFSET_CURRENT), 4);  // returns where it was
    EXPECT_EQ(Read(fh, buffer, 2), 2);
    EXPECT_EQ(std::string(buffer, 2), "23");
    EXPECT_EQ(Seek(fh, -3, OFFSET_END), 8);
    EXPECT_EQ(Read(fh, buffer, 8), 3);  // only what is left
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ(Read(fh, buffer, 8), 0);
    EXPECT_EQ(Seek(fh, 0, 99), -1);
    EXPECT_EQ(Close(fh), DOSTRUE);
    std::remove(TempPath(leaf.c_str()).c_str());

    EXPECT_EQ(Open(amigaName.c_str(), MODE_OLDFILE), nullptr);  // gone now
}

TEST(DosFiles, NewFilesAreCreatedOrEmptiedAndSysIsTheRoot) {
    const std::string path = TempPath(("tessella_new_" + std::to_string(::getpid())).c_str());
    BPTR fh = Open(path.c_str(), MODE_NEWFILE);
    ASSERT_NE(fh, nullptr);
    EXPECT_EQ(Write(fh, "old content", 11), 11);
    Close(fh);
    fh = Open(path.c_str(), MODE_NEWFILE);
    EXPECT_EQ(Write(fh, "new", 3), 3);
    Close(fh);
    std::ifstream in(path);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "new");
    std::remove(path.c_str());

    BPTR root = Open("SYS:etc/hostname", MODE_OLDFILE);
    BPTR linux = Open("/etc/hostname", MODE_OLDFILE);
    EXPECT_EQ(root != nullptr, linux != nullptr);
    Close(root);
    Close(linux);
    EXPECT_EQ(Open(path.c_str(), 12345), nullptr);
    EXPECT_EQ(Close(nullptr), DOSFALSE);
}

TEST(DosExecute, RunsShellCommandLinesAndReportsUnstartableOnes) {
    const std::string target = TempPath(("tessella_exec_" + std::to_string(::getpid())).c_str());
    const std::string command = "printf 'ran %s' \"$((6*7))\" > '" + target + "'";
    EXPECT_EQ(Execute(command.c_str(), nullptr, nullptr), DOSTRUE);
    std::ifstream in(target);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "ran 42");
    std::remove(target.c_str());

    BPTR out = Open(target.c_str(), MODE_NEWFILE);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(Execute("echo redirected", nullptr, out), DOSTRUE);
    EXPECT_EQ(Seek(out, 0, OFFSET_BEGINNING), 11);
    char buffer[32] = {};
    EXPECT_EQ(Read(out, buffer, sizeof(buffer)), 11);
    EXPECT_STREQ(buffer, "redirected\n");
    Close(out);
    std::remove(target.c_str());

    EXPECT_EQ(Execute("", nullptr, nullptr), DOSTRUE);
    EXPECT_EQ(Execute("tessella-no-such-command-xyz", nullptr, nullptr), DOSFALSE);
}

// The program names files in Latin-1; on disk the same names are UTF-8, whether opened
// directly, through RAM:T or by a command line.
TEST(DosFiles, Latin1NamesAreUtf8OnDisk) {
    const std::string leaf = "tessella_Zo\xEB_" + std::to_string(::getpid());
    const std::string onDisk =
        TempPath(("tessella_Zo\xC3\xAB_" + std::to_string(::getpid())).c_str());
    BPTR fh = Open(("RAM:T/" + leaf).c_str(), MODE_NEWFILE);
    ASSERT_NE(fh, nullptr);
    EXPECT_EQ(Write(fh, "ok", 2), 2);
    Close(fh);
    std::ifstream in(onDisk);
    std::string text;
    std::getline(in, text);
    EXPECT_EQ(text, "ok");
    fh = Open(TempPath(leaf.c_str()).c_str(), MODE_OLDFILE);
    EXPECT_NE(fh, nullptr);
    Close(fh);

    const std::string command = "rm '" + TempPath(leaf.c_str()) + "'";
    EXPECT_EQ(Execute(command.c_str(), nullptr, nullptr), DOSTRUE);
    EXPECT_FALSE(std::ifstream(onDisk).good());
}

}  // namespace
