// The Latin-1 / UTF-8 boundary: file names, desktop text and terminal input cross it.
#include <gtest/gtest.h>

#include <string>

#include "util/StringUtils.h"

using namespace tessella;

namespace {

std::string Utf8ToLatin1(const std::string& s, bool expectComplete) {
    bool complete = !expectComplete;
    const std::string out = StringUtils::Utf8ToLatin1(s, complete);
    EXPECT_EQ(complete, expectComplete) << s;
    return out;
}

TEST(Latin1Conversion, EveryLatin1ByteRoundTrips) {
    std::string all;
    for (int c = 1; c < 256; ++c) {
        all.push_back(static_cast<char>(c));
    }
    const std::string utf8 = StringUtils::Latin1ToUtf8(all);
    EXPECT_EQ(utf8.size(), 127u + 2 * 128u);
    EXPECT_EQ(Utf8ToLatin1(utf8, true), all);
    EXPECT_EQ(StringUtils::Latin1ToUtf8("Lettera \xE0 Zo\xEB.velx"),
              "Lettera \xC3\xA0 Zo\xC3\xAB.velx");
}

TEST(Latin1Conversion, CharactersBeyondLatin1AreLeftOutAndFlagged) {
    EXPECT_EQ(Utf8ToLatin1("caff\xC3\xA8 \xE2\x82\xAC"
                           "5",
                           false),
              "caff\xE8 5");                                   // the euro sign
    EXPECT_EQ(Utf8ToLatin1("\xF0\x9F\x94\x92x", false), "x");  // four bytes, dropped whole
    EXPECT_EQ(Utf8ToLatin1("\xC4\x80", false), "");            // U+0100, just past Latin-1
}

TEST(Latin1Conversion, MalformedUtf8IsFlaggedAndNeverReadPast) {
    EXPECT_EQ(Utf8ToLatin1("Zo\xEB", false), "Zo");          // a Latin-1 byte is not UTF-8
    EXPECT_EQ(Utf8ToLatin1("\xC3", false), "");              // cut short at the end
    EXPECT_EQ(Utf8ToLatin1("\xC3(", false), "(");            // a lead without its continuation
    EXPECT_EQ(Utf8ToLatin1("\xC0\xAF", false), "");          // an overlong "/"
    EXPECT_EQ(Utf8ToLatin1("\xC1\xBF", false), "");          // an overlong DEL
    EXPECT_EQ(Utf8ToLatin1("\xE0\x80\xAF", false), "");      // an overlong three-byte "/"
    EXPECT_EQ(Utf8ToLatin1("\xED\xA0\x80", false), "");      // a surrogate
    EXPECT_EQ(Utf8ToLatin1("\xF4\x90\x80\x80", false), "");  // beyond U+10FFFF
    EXPECT_EQ(Utf8ToLatin1("\x80"
                           "a\xBF",
                           false),
              "a");  // stray continuation bytes
    EXPECT_EQ(Utf8ToLatin1(std::string("a\0b", 3), true), std::string("a\0b", 3));
}

// Shown text keeps a visible mark where a character could not be drawn, one per character (or
// per malformed byte), so that "Ωmega" does not read as "mega".
TEST(Latin1Conversion, ShownTextMarksWhatLatin1Lacks) {
    bool complete = true;
    EXPECT_EQ(StringUtils::Utf8ToLatin1Shown("/tmp/\xCE\xA9mega.txt", complete), "/tmp/?mega.txt");
    EXPECT_FALSE(complete);
    EXPECT_EQ(StringUtils::Utf8ToLatin1Shown("\xF0\x9F\x94\x92 caf\xC3\xA9 \xE2\x82\xAC"),
              "? caf\xE9 ?");
    EXPECT_EQ(StringUtils::Utf8ToLatin1Shown("Zo\xEB\xC3"), "Zo??");  // stray bytes, one mark each
    EXPECT_EQ(StringUtils::Utf8ToLatin1Shown("Lettera \xC3\xA0 Zo\xC3\xAB", complete),
              "Lettera \xE0 Zo\xEB");
    EXPECT_TRUE(complete);
}

// What a terminal or a window would obey rather than show comes out as visible escapes; letters
// of every script, and bytes that only are not UTF-8, stay as they are.
TEST(Latin1Conversion, ControlCharactersInShownNamesAreEscaped) {
    EXPECT_EQ(StringUtils::EscapeControls("a\x1B]0;title\x07"
                                          "b\tc\nd\re\x7F"),
              "a\\x1B]0;title\\x07b\\tc\\nd\\re\\x7F");
    EXPECT_EQ(StringUtils::EscapeControls(std::string("nul\0", 4)), "nul\\x00");
    // C1 controls, as UTF-8 (U+009B, the one-byte CSI) or as a byte a Latin-1 terminal reads.
    EXPECT_EQ(StringUtils::EscapeControls("\xC2\x9B"
                                          "2J|\x9B"
                                          "2J|\x85|\x80|\x9F|\xC2\x9F"),
              "\\xC2\\x9B"
              "2J|\\x9B"
              "2J|\\x85|\\x80|\\x9F|\\xC2\\x9F");
    // The first bytes past either end of the ranges are letters.
    EXPECT_EQ(StringUtils::EscapeControls(" ~\xA0\xC2\xA0"), " ~\xA0\xC2\xA0");
    // Their neighbours are letters: U+00A0.., Latin-1 bytes, and a continuation byte in the C1
    // range inside a well-formed character.
    EXPECT_EQ(
        StringUtils::EscapeControls("caf\xC3\xA9 caf\xE9 \xC2\xA0 \xE2\x82\xAC \xF0\x9F\x94\x92"),
        "caf\xC3\xA9 caf\xE9 \xC2\xA0 \xE2\x82\xAC \xF0\x9F\x94\x92");
    EXPECT_EQ(StringUtils::EscapeControls("dir\\x1B.txt ~ !"), "dir\\x1B.txt ~ !");
}

}  // namespace
