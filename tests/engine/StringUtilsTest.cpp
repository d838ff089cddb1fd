#include <gtest/gtest.h>

#include "util/StringUtils.h"

using namespace tessella;

TEST(StringUtils, TrimRemovesOnlyOuterWhiteSpace) {
    EXPECT_EQ(StringUtils::Trim(" \t pass word \n"), "pass word");
    EXPECT_EQ(StringUtils::Trim("   "), "");
    EXPECT_EQ(StringUtils::Trim(""), "");
    // Latin-1 letters above 127 are not white space and must survive.
    EXPECT_EQ(StringUtils::Trim(" \xE8t\xE9 "), "\xE8t\xE9");
}

TEST(StringUtils, CaseFoldingKeepsEveryOtherByte) {
    EXPECT_EQ(StringUtils::ToUpper("report-1.txt"), "REPORT-1.TXT");
    EXPECT_EQ(StringUtils::ToLower("A:\\Dir/FILE"), "a:\\dir/file");
    EXPECT_EQ(StringUtils::ToUpper("\xE8\xFF"), "\xE8\xFF");
}

TEST(StringUtils, Replacement) {
    EXPECT_EQ(StringUtils::Replace("&File &Open", "&", ""), "File Open");
    EXPECT_EQ(StringUtils::Replace("a::b::c", "::", "/"), "a/b/c");
    EXPECT_EQ(StringUtils::Replace("abc", "", "x"), "abc");
    // A replacement containing the pattern would never end; the text is left alone.
    EXPECT_EQ(StringUtils::Replace("aa", "a", "ba"), "aa");
    EXPECT_EQ(StringUtils::Replace("a\\b\\c", '\\', '/'), "a/b/c");
    EXPECT_EQ(StringUtils::Replace("a-b-c", '-', '\0'), "abc");
}

TEST(StringUtils, PaddingAndNumbers) {
    EXPECT_EQ(StringUtils::PaddingString("ab", '*', 1), "ab");
    EXPECT_EQ(StringUtils::PaddingString("ab", '*', 4), "ab**");
    EXPECT_EQ(StringUtils::LeftPaddingString("7", '0', 3), "007");
    EXPECT_EQ(StringUtils::IntToStr(5, '0', 2), "05");
    EXPECT_EQ(StringUtils::IntToStr(-5), "-5");
    EXPECT_EQ(StringUtils::IntToStr(999999999), "999999999");
    EXPECT_EQ(StringUtils::DoubleToStr(2.5), "2.50");
}

TEST(StringUtils, ThousandsSeparatorsFollowTheLanguageFlag) {
    const int32_t saved = StringUtils::ita;
    StringUtils::ita = 1;
    EXPECT_EQ(StringUtils::IntToStrLocale(int64_t{999}), "999");
    EXPECT_EQ(StringUtils::IntToStrLocale(int64_t{1000}), "1.000");
    EXPECT_EQ(StringUtils::IntToStrLocale(int64_t{1234567}), "1.234.567");
    EXPECT_EQ(StringUtils::IntToStrLocale(int64_t{123456789012}), "123.456.789.012");
    EXPECT_EQ(StringUtils::IntToStrLocale(int64_t{1234567890123}), "1234.567.890.123");
    EXPECT_EQ(StringUtils::IntToStrLocale(int64_t{-1234}), "-1.234");
    EXPECT_EQ(StringUtils::IntToStrLocale(int64_t{-999}), "-999");
    EXPECT_EQ(StringUtils::GetSepDecimal(), ',');
    StringUtils::ita = 0;
    EXPECT_EQ(StringUtils::IntToStrLocale(int32_t{1000}), "1,000");
    EXPECT_EQ(StringUtils::GetSepDecimal(), '.');
    StringUtils::ita = saved;
}
