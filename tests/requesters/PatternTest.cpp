// AmigaDOS patterns, as the file requester filters its drawers with them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dos.h"

namespace {

bool Matches(const char* pattern, const char* name, bool noCase = true) {
    std::vector<char> parsed(2 * std::strlen(pattern) + 2);
    const LONG kind = noCase ? ParsePatternNoCase(pattern, parsed.data(), parsed.size())
                             : ParsePattern(pattern, parsed.data(), parsed.size());
    EXPECT_GE(kind, 0) << pattern;
    return (noCase ? MatchPatternNoCase(parsed.data(), name) : MatchPattern(parsed.data(), name)) ==
           TRUE;
}

TEST(Patterns, WildcardsRepeatsAlternativesAndClasses) {
    EXPECT_TRUE(Matches("#?", ""));
    EXPECT_TRUE(Matches("#?", "anything at all"));
    EXPECT_TRUE(Matches("#?.velx", "secret.velx"));
    EXPECT_TRUE(Matches("#?.velx", "SECRET.VELX"));  // names compare without case
    EXPECT_FALSE(Matches("#?.velx", "SECRET.VELX", false));
    EXPECT_FALSE(Matches("#?.velx", "secret.velx.bak"));
    EXPECT_TRUE(Matches("a?c", "abc"));
    EXPECT_FALSE(Matches("a?c", "ac"));
    EXPECT_TRUE(Matches("#a", "aaaa"));
    EXPECT_TRUE(Matches("x#(ab)y", "xababy"));
    EXPECT_FALSE(Matches("x#(ab)y", "xabay"));
    EXPECT_TRUE(Matches("#?.(txt|doc)", "notes.doc"));
    EXPECT_FALSE(Matches("#?.(txt|doc)", "notes.pdf"));
    EXPECT_TRUE(Matches("file[0-9]", "file7"));
    EXPECT_FALSE(Matches("file[0-9]", "filex"));
    EXPECT_TRUE(Matches("file[~0-9]", "filex"));
    EXPECT_TRUE(Matches("a%b", "ab"));
    EXPECT_TRUE(Matches("'#?", "#?"));
    EXPECT_FALSE(Matches("'#?", "x"));
}

TEST(Patterns, NegationMatchesWhatThePatternDoesNot) {
    EXPECT_TRUE(Matches("~(#?.info)", "drawer"));
    EXPECT_FALSE(Matches("~(#?.info)", "drawer.info"));
    EXPECT_TRUE(Matches("a~b", "ac"));
    EXPECT_TRUE(Matches("a~b", "a"));
    EXPECT_FALSE(Matches("a~b", "ab"));
    // Negations nested under repeats: "~(#?a)" is every name not ending in a, the next level
    // out matches nothing, the next everything, and so on. Worked out from every start of every
    // outer level, five levels against 80 letters would take 80^5 passes.
    const std::string letters(80, 'b');
    EXPECT_TRUE(Matches("~(#?a)", "xyz"));
    EXPECT_FALSE(Matches("~(#?a)", "xya"));
    EXPECT_TRUE(Matches("~(#?~(#?~(#?~(#?~(#?a)))))", letters.c_str()));
    EXPECT_FALSE(Matches("~(#?~(#?~(#?~(#?~(#?~(#?a))))))", letters.c_str()));
}

TEST(Patterns, ParsingReportsWildcardsPlainTextAndErrors) {
    char buffer[64];
    EXPECT_EQ(ParsePatternNoCase("#?.velx", buffer, sizeof(buffer)), 1);
    EXPECT_EQ(ParsePatternNoCase("plain.txt", buffer, sizeof(buffer)), 0);
    EXPECT_EQ(MatchPatternNoCase(buffer, "PLAIN.TXT"), TRUE);
    EXPECT_EQ(ParsePatternNoCase("(open", buffer, sizeof(buffer)), -1);
    EXPECT_EQ(ParsePatternNoCase("[a-", buffer, sizeof(buffer)), -1);
    EXPECT_EQ(ParsePatternNoCase("#?.velx", buffer, 10), -1);  // needs 2 * 7 + 2 bytes
    // The empty pattern fits the same room, two bytes, and matches only the empty name.
    std::vector<char> two(2, 'x');
    EXPECT_EQ(ParsePattern("", two.data(), 2), 0);
    EXPECT_EQ(MatchPattern(two.data(), ""), TRUE);
    EXPECT_EQ(MatchPattern(two.data(), "x"), FALSE);
    // Nesting no real pattern needs is refused, not followed until the stack runs out.
    const std::string deep = std::string(100000, '(') + "a" + std::string(100000, ')');
    std::vector<char> room(2 * deep.size() + 2);
    EXPECT_EQ(ParsePattern(deep.c_str(), room.data(), static_cast<LONG>(room.size())), -1);
    EXPECT_EQ(MatchPattern(deep.c_str(), "a"), FALSE);
    const std::string negations = std::string(100000, '~') + "a";
    room.resize(2 * negations.size() + 2);
    EXPECT_EQ(ParsePattern(negations.c_str(), room.data(), static_cast<LONG>(room.size())), -1);
    EXPECT_TRUE(Matches("((((a))))|~~b", "a"));
    EXPECT_EQ(MatchPatternNoCase(nullptr, "x"), FALSE);
    // A long name against a pattern full of repeats still answers at once.
    const std::string name(200, 'a');
    EXPECT_FALSE(Matches("#?#?#?#?#?#?#?#?b", name.c_str()));
}

}  // namespace
