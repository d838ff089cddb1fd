#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

using namespace tessella;

namespace {

// What bash offers for the command line `line` (completing its last word) in `dir`, sorted,
// one entry per line, with the completion script loaded the way bash-completion loads it.
std::string Complete(const TempDir& dir, const std::string& line) {
    dir.Write(".line", line);
    const std::string cmd = "cd '" + dir.Path("") +
                            "' && bash --norc --noprofile -c '"
                            "source \"" TESSELLA_COMPLETION
                            "\"; "
                            "line=$(cat .line); read -r -a COMP_WORDS <<< \"$line\"; "
                            "[[ $line == *\" \" ]] && COMP_WORDS+=(\"\"); "
                            "COMP_CWORD=$(( ${#COMP_WORDS[@]} - 1 )); "
                            "_tessella_cli; printf \"%s\\n\" \"${COMPREPLY[@]}\" | sort' "
                            "> .out 2>&1";
    std::system(cmd.c_str());
    std::string out = TempDir::Read(dir.Path(".out"));
    std::remove(dir.Path(".out").c_str());
    std::remove(dir.Path(".line").c_str());
    return out;
}

}  // namespace

TEST(Completion, CommandsOptionsAndFiles) {
    TempDir dir;
    dir.Write("notes.txt", "x");
    dir.Write("notes.velx", "x");
    dir.Write("OLD.VELX", "x");
    std::filesystem::create_directory(dir.Path("box"));

    EXPECT_EQ(Complete(dir, "tessella-cli "), "decrypt\nencrypt\n");
    EXPECT_EQ(Complete(dir, "tessella-cli de"), "decrypt\n");
    EXPECT_EQ(Complete(dir, "tessella-cli --"), "--help\n--version\n");
    EXPECT_EQ(Complete(dir, "tessella-cli encrypt --"),
              "--force\n--help\n--no-check\n--password-file\n");
    // decrypt has no check to skip.
    EXPECT_EQ(Complete(dir, "tessella-cli decrypt --"), "--force\n--help\n--password-file\n");
    EXPECT_EQ(Complete(dir, "tessella-cli encrypt no"), "notes.txt\nnotes.velx\n");
    // decrypt reads encrypted files only, and offers the folders that may hold them.
    EXPECT_EQ(Complete(dir, "tessella-cli decrypt "), "OLD.VELX\nbox\nnotes.velx\n");
    EXPECT_EQ(Complete(dir, "tessella-cli decrypt --password-file no"), "notes.txt\nnotes.velx\n");
    // After "--" a word starting with a dash is a file name.
    dir.Write("-odd.velx", "x");
    EXPECT_EQ(Complete(dir, "tessella-cli decrypt -- -o"), "-odd.velx\n");
}
