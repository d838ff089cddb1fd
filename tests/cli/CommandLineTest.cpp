#include <gtest/gtest.h>

#include "cli/CommandLine.h"
#include "cli/Latin1.h"
#include "cli/PasswordInput.h"

using namespace tessella;

namespace {

CommandLine Parsed(std::vector<std::string> args, bool expectOk = true) {
    CommandLine c;
    EXPECT_EQ(c.Parse(args), expectOk) << c.error;
    return c;
}

}  // namespace

TEST(CommandLine, EncryptAndDecryptForms) {
    CommandLine e = Parsed({"encrypt", "--no-check", "--password-file", "pw", "a.txt"});
    EXPECT_EQ(e.action, CommandLine::Action::kEncrypt);
    EXPECT_FALSE(e.check);
    EXPECT_EQ(e.passwordFile, "pw");
    EXPECT_EQ(e.source, "a.txt");
    EXPECT_EQ(e.destination, "");

    CommandLine d = Parsed({"decrypt", "a.velx", "--password-file=pw", "out"});
    EXPECT_EQ(d.action, CommandLine::Action::kDecrypt);
    EXPECT_TRUE(d.check);
    EXPECT_EQ(d.passwordFile, "pw");
    EXPECT_EQ(d.destination, "out");

    EXPECT_EQ(Parsed({"decrypt", "--", "-odd-name"}).source, "-odd-name");
    const CommandLine many = Parsed({"encrypt", "a", "b", "--force", "c"});
    EXPECT_EQ(many.paths, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_TRUE(many.force);
    EXPECT_EQ(many.destination, "");
    EXPECT_EQ(Parsed({"--help"}).action, CommandLine::Action::kHelp);
    EXPECT_EQ(Parsed({"encrypt", "-h"}).action, CommandLine::Action::kHelp);
    EXPECT_EQ(Parsed({"--version"}).action, CommandLine::Action::kVersion);
}

TEST(CommandLine, UsageErrorsSayWhy) {
    EXPECT_EQ(Parsed({}, false).error, "missing command (encrypt or decrypt)");
    EXPECT_EQ(Parsed({"shred", "x"}, false).error, "unknown command 'shred'");
    EXPECT_EQ(Parsed({"encrypt"}, false).error, "missing SOURCE file");
    EXPECT_EQ(Parsed({"encrypt", "--fast", "a"}, false).error, "unknown option '--fast'");
    EXPECT_EQ(Parsed({"encrypt", "a", "--password-file"}, false).error,
              "option '--password-file' needs a file name");
    EXPECT_EQ(Parsed({"decrypt", "--no-check", "a"}, false).error,
              "option '--no-check' applies to encrypt only");
}

TEST(Latin1, ConvertsUtf8WithinLatin1AndRefusesTheRest) {
    std::string out;
    EXPECT_TRUE(Latin1::FromUtf8("caff\xC3\xA8 \xC2\xA3", out));
    EXPECT_EQ(out, "caff\xE8 \xA3");
    EXPECT_TRUE(Latin1::FromUtf8("\xC3\xBF", out));
    EXPECT_EQ(out, "\xFF");
    EXPECT_FALSE(Latin1::FromUtf8("\xE2\x82\xAC", out));  // the euro sign
    EXPECT_FALSE(Latin1::FromUtf8("\xE8", out));          // a bare Latin-1 byte is not UTF-8
    EXPECT_FALSE(Latin1::FromUtf8("\xC3", out));
    EXPECT_FALSE(Latin1::FromUtf8("\xC3(", out));
}

TEST(PasswordInput, FirstLineDropsEitherLineEnd) {
    EXPECT_EQ(PasswordInput::FirstLine("secret\nsecond"), "secret");
    EXPECT_EQ(PasswordInput::FirstLine("secret\r\n"), "secret");
    EXPECT_EQ(PasswordInput::FirstLine("secret"), "secret");
    EXPECT_EQ(PasswordInput::FirstLine(""), "");
}
