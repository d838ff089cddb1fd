// The self-drawn text box's editing, without a window: keys in, text, cursor and beeps out.
#include <gtest/gtest.h>

#include <string>

#include "controls/TextEditBuffer.h"

using namespace tessella;

namespace {

// Stand-ins in a key string for the two cursor keys that need no grid.
constexpr char kLeft = '\x01';
constexpr char kRight = '\x02';

// A grid far larger than any text below, and one of three cells on one row.
constexpr TextEditBuffer::Area kRoomy{1000, 1000, 8, 10};
constexpr TextEditBuffer::Area kThreeCells{30, 20, 8, 10};

enum Mode : unsigned { kPlain = 0, kInsert = 1, kDate = 2, kNumber = 4, kDecimal = 8 };

struct KeyCase {
    const char* name;
    unsigned mode;
    int maxLength;
    std::string initial;
    std::string keys;
    std::string text;  // as the box reads it back
    int cursor;
    int beeps;
    TextEditBuffer::Area area = kRoomy;
};

// A loaded box: its buffer made, then filled from its text.
TextEditBuffer Loaded(const KeyCase& c) {
    TextEditBuffer b;
    b.Reset(c.initial, false);
    b.SetMaxLength(c.maxLength);
    b.SetInsert((c.mode & kInsert) != 0);
    b.SetDate((c.mode & kDate) != 0, false);
    if ((c.mode & kNumber) != 0) {
        b.SetNumber(true);
    }
    b.SetDecimal((c.mode & kDecimal) != 0);
    b.Allocate();
    b.Rebuild();
    return b;
}

int Type(TextEditBuffer& b, const std::string& keys, const TextEditBuffer::Area& area) {
    int beeps = 0;
    for (const char k : keys) {
        if (k == kLeft) {
            b.Left();
        } else if (k == kRight) {
            beeps += b.Right() ? 0 : 1;
        } else {
            beeps += b.Key(static_cast<unsigned char>(k), area).beep ? 1 : 0;
        }
    }
    return beeps;
}

const std::string L(1, kLeft);
const std::string R(1, kRight);

const KeyCase kKeyCases[] = {
    // Overwriting a single line.
    {"typing fills the line", kPlain, 10, "", "abc", "abc", 3, 0},
    {"a typed letter takes the place of the one under the cursor", kPlain, 10, "abc", L + L + "X",
     "aXc", 2, 0},
    {"backspace removes the letter before the cursor", kPlain, 10, "abc", "\b", "ab", 2, 0},
    {"backspace at the start beeps", kPlain, 10, "", "\b", "", 0, 1},
    {"delete blanks the letter under the cursor", kPlain, 10, "abc", L + "\x7f", "ab", 2, 0},
    {"return and escape are ignored on one line", kPlain, 10, "ab", "\r\x1b", "ab", 2, 0},
    {"another control character beeps", kPlain, 10, "ab", "\t", "ab", 2, 1},
    {"a full buffer beeps and keeps its text", kPlain, 3, "", "abcd", "abc", 3, 1},
    {"right at the end of the text beeps", kPlain, 10, "ab", R, "ab", 2, 1},
    {"left stops at the start", kPlain, 10, "ab", L + L + L + "X", "Xb", 1, 0},
    // Numbers.
    {"a number box refuses letters", kNumber, 10, "", "1a2", "12", 2, 1},
    {"a decimal box takes one point", kNumber | kDecimal, 10, "", "1.5.", "1.5", 3, 1},
    {"a whole-number box refuses a point", kNumber, 10, "", "1.", "1", 1, 1},
    // Dates.
    {"a date box writes its separators", kDate, 10, "", "01022024", "01/02/2024", 10, 0},
    {"a date box refuses letters", kDate, 10, "", "0a", "0", 1, 1},
    {"left steps over a separator", kDate, 10, "", "0102" + L, "01/02/", 4, 0},
    {"right steps over a separator", kDate, 10, "", "0102" + L + R, "01/02/", 6, 0},
    {"backspace after a separator takes the digit too", kDate, 10, "", "0102\b", "01/0", 4, 0},
    {"a date is full at ten characters", kDate, 10, "", "010220241", "01/02/2024", 10, 1},
    // Insert mode, which is multi-line.
    {"insert mode inserts at the cursor", kInsert, 10, "", "abc" + L + L + "X", "aXbc", 2, 0},
    {"delete removes the letter under the cursor", kInsert, 10, "abc", L + L + "\x7f", "ac", 1, 0},
    {"delete at the end of the text beeps", kInsert, 10, "abc", "\x7f", "abc", 3, 1},
    {"return breaks the line", kInsert, 10, "ab", "\rc", "ab\rc", 4, 0},
    {"backspace after typed blanks keeps the text", kInsert, 10, "ab", "  \b", "ab", 3, 0},
    {"a letter that does not fit the grid beeps", kInsert, 10, "", "abcd", "abc", 3, 1,
     kThreeCells},
    {"the buffer's length bounds insert mode too", kInsert, 2, "", "abc", "ab", 2, 1},
};

TEST(TextEditBuffer, KeysEditTheTextAndMoveTheCursor) {
    for (const KeyCase& c : kKeyCases) {
        SCOPED_TRACE(c.name);
        TextEditBuffer b = Loaded(c);
        const int beeps = Type(b, c.keys, c.area);
        EXPECT_EQ(b.ReadBack(), c.text);
        EXPECT_EQ(b.Cursor(), c.cursor);
        EXPECT_EQ(beeps, c.beeps);
    }
}

// What a key asks of the box besides the edit: a refused character of a number box is not
// redrawn, an ignored one neither; an edit is, even a refused one.
TEST(TextEditBuffer, OnlyEditsAskForARedraw) {
    struct Case {
        unsigned mode;
        int key;
        bool beep;
        bool redraw;
    } const cases[] = {
        {kPlain, 'a', false, true}, {kNumber, 'a', true, false}, {kPlain, '\b', true, true},
        {kPlain, 27, false, false}, {kPlain, 13, false, false},  {kInsert, 13, false, true},
        {kPlain, 9, true, false},   {kInsert, 127, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        TextEditBuffer b = Loaded({"", c.mode, 10, "", "", "", 0, 0});
        const TextEditBuffer::KeyOutcome out = b.Key(c.key, kRoomy);
        EXPECT_EQ(out.beep, c.beep);
        EXPECT_EQ(out.redraw, c.redraw);
    }
}

TEST(TextEditBuffer, ATextFitsTheGridRowByRow) {
    struct Case {
        std::string text;
        int count;
        bool fits;
    } const cases[] = {
        {"abc", 3, true},    // three cells, one row
        {"abcd", 4, false},  // the fourth would need a second row
        {"abcd", 3, true},   // only the first three are asked about
        {"a\rb", 3, false},  // a break needs a second row too
        {"", 0, true},
    };
    TextEditBuffer b;
    b.Reset("", false);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(b.Fits(c.count, c.text, kThreeCells), c.fits);
    }
    // Two rows of three: the break moves on to the second.
    EXPECT_TRUE(b.Fits(3, "a\rb", {30, 40, 8, 10}));
}

TEST(TextEditBuffer, SettingTheTextAndTheModesKeepsWhatTheBoxShows) {
    TextEditBuffer b;
    b.Reset("one\ntwo  ", false);
    EXPECT_EQ(b.Text(), "one\ntwo");
    b.Allocate();
    b.Rebuild();
    EXPECT_EQ(b.ReadBack(), "one");  // a single line ends at its first "\n"

    b.SetText("hello");
    EXPECT_EQ(b.Cursor(), 4);
    EXPECT_EQ(b.Count(), 5);

    // A loaded box made a date box keeps the first ten characters it showed.
    b.SetText("abcdefghijkl");
    b.Rebuild();
    b.SetDate(true, true);
    EXPECT_EQ(b.MaxLength(), 10);
    EXPECT_EQ(b.ReadBack(), "abcdefghij");
    EXPECT_EQ(b.Count(), 10);

    // Insert mode turns the date off and multi-line on.
    b.SetInsert(true);
    EXPECT_FALSE(b.Date());
    EXPECT_TRUE(b.Multiline());
}

TEST(TextEditBuffer, AClickNeverLeavesTheCursorPastTheTextOrOnASeparator) {
    TextEditBuffer b = Loaded({"", kDate, 10, "", "", "", 0, 0});
    Type(b, "0102", kRoomy);  // "01/02/", six characters
    b.PlaceCursor(5);
    EXPECT_EQ(b.Cursor(), 4);
    b.PlaceCursor(9);
    EXPECT_EQ(b.Cursor(), 6);
    b.PlaceCursor(1);
    EXPECT_EQ(b.Cursor(), 1);
}

TEST(TextEditBuffer, ALetterTakenBackLeavesWithTheCursor) {
    TextEditBuffer b = Loaded({"", kPlain, 10, "", "", "", 0, 0});
    Type(b, "abc", kRoomy);
    b.TakeBack(2);
    EXPECT_EQ(b.ReadBack(), "ab");
    EXPECT_EQ(b.Cursor(), 2);
    EXPECT_EQ(b.Count(), 2);
}

}  // namespace
