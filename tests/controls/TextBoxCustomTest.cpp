// The self-drawn text box driven by a person: clicks, typing, editing keys and cursor keys,
// checked through the text it holds, its cursor, the beeps and the cells on the screen.
#include <diskfont.h>

#include <atomic>

#include "ControlDesk.h"
#include "controls/TextBox.h"
#include "controls/TextBoxCustom.h"
#include "runtime/Font.h"

using namespace tessella;

namespace {

int textChanges = 0;

void CountChange(GUIElement*) {
    ++textChanges;
}

class TextBoxes : public ControlDesk {
protected:
    void SetUp() override {
        ControlDesk::SetUp();
        textChanges = 0;
        // The grid's measures, taken from the font itself rather than from the box.
        Font topaz("topaz.font", 8);
        TextFont* f = topaz.GetTextFont();
        ASSERT_NE(f, nullptr);
        xs = f->tf_XSize;
        ys = f->tf_YSize;
        ASSERT_GT(xs, 0);
    }

    // A box on the window, shown.
    std::unique_ptr<TextBoxCustom> Box(int x, int y, int w, int h, const std::string& text = "") {
        auto box = std::make_unique<TextBoxCustom>(main.get(), text);
        box->SetLocation(x, y);
        box->SetSize(w, h);
        return box;
    }

    // The screen place of a grid cell: its top-left corner.
    tagPOINT Cell(TextBoxCustom& box, int column, int row = 0) const {
        const tagPOINT at = box.GetPosition();
        return {at.x + 3 + column * xs, at.y + 2 + row * (ys + 4)};
    }
    // The cell's own background, at its top-left pixel (the glyph never reaches it).
    LONG CellPaper(TextBoxCustom& box, int column, int row = 0) const {
        const tagPOINT c = Cell(box, column, row);
        return Pen(c.x, c.y + 1);
    }
    // How many pixels of a pen the cell holds.
    int CellInk(TextBoxCustom& box, int column, int row = 0, LONG pen = kBlack) const {
        const tagPOINT c = Cell(box, column, row);
        int n = 0;
        for (int y = c.y + 1; y < c.y + ys + 5; ++y) {
            for (int x = c.x; x < c.x + xs; ++x) {
                n += Pen(x, y) == pen;
            }
        }
        return n;
    }
    // The cell as drawn: a row of '#' and '.' for each pixel line, ink of the pen against the
    // rest, so that two cells compare glyph to glyph.
    std::string CellImage(TextBoxCustom& box, int column, int row = 0, LONG pen = kBlack) const {
        const tagPOINT c = Cell(box, column, row);
        std::string image;
        for (int y = c.y + 1; y < c.y + ys + 5; ++y) {
            for (int x = c.x; x < c.x + xs; ++x) {
                image += Pen(x, y) == pen ? '#' : '.';
            }
            image += '\n';
        }
        return image;
    }
    void ClickCell(TextBoxCustom& box, int column, int row = 0) const {
        const tagPOINT c = Cell(box, column, row);
        PlatformTest::Click(c.x + xs - 1, c.y + ys / 2 + 4);
        PlatformTest::WaitIdle();
    }
    static void Type(const char* s) {
        ASSERT_TRUE(PlatformTest::TypeText(s));
        PlatformTest::WaitIdle();
    }
    static void Key(UWORD raw, int times = 1) {
        for (int i = 0; i < times; ++i) {
            PlatformTest::TypeKey(raw);
        }
        PlatformTest::WaitIdle();
    }

    int xs = 8;
    int ys = 8;
};

// Values read by the person while the loop waits, checked once the loop has ended.
struct Seen {
    std::vector<std::string> texts;
    std::vector<int> numbers;
};

}  // namespace

TEST_F(TextBoxes, AClickFocusesTheBoxTypingFillsItsCellsAndLeavingRemovesTheCursor) {
    auto box = Box(40, 60, 200, 20);
    box->SetOnTextChange(CountChange);
    box->Show();
    Seen seen;
    RunWith([&] {
        Snapshot("textbox_normal.png");
        seen.numbers.push_back(CellPaper(*box, 0));  // white paper, no cursor yet
        ClickCell(*box, 5);
        seen.numbers.push_back(Application::CustomsGadgetSel == box.get());
        seen.numbers.push_back(CellPaper(*box, 0));  // the cursor: an empty box has it at 0
        Type("Hello");
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(box->GetCursor());
        seen.numbers.push_back(CellPaper(*box, 5));  // the cursor moved after the text
        seen.numbers.push_back(CellPaper(*box, 0));
        seen.numbers.push_back(CellInk(*box, 0) > 0);  // "H" drawn in its cell
        Snapshot("textbox_focused.png");
        PlatformTest::Click(500, 400);  // empty window space takes the focus away
        PlatformTest::WaitIdle();
        seen.numbers.push_back(Application::CustomsGadgetSel == nullptr);
        seen.numbers.push_back(CellPaper(*box, 5));
    });
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"Hello"}));
    EXPECT_EQ(seen.numbers,
              (std::vector<int>{kWhite, 1, kYellow, 5, kYellow, kWhite, 1, 1, kWhite}));
    EXPECT_EQ(textChanges, 1);
    // The window saw the typed characters too.
    EXPECT_EQ(std::count(deskTrace.begin(), deskTrace.end(), "window:press:H"), 1);
}

TEST_F(TextBoxes, CursorKeysMoveWithinTheTextAndBeepAtItsEdges) {
    auto box = Box(40, 60, 200, 20);
    box->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        Type("abc");
        const int beeps = PlatformTest::BeepCount();
        Key(RAWKEY_RIGHT);  // already after the text
        Key(RAWKEY_LEFT, 2);
        seen.numbers.push_back(box->GetCursor());
        seen.numbers.push_back(CellPaper(*box, 1));
        seen.numbers.push_back(CellPaper(*box, 3));  // the old cursor cell is plain again
        Key(RAWKEY_LEFT, 3);                         // stops at 0 without a beep
        seen.numbers.push_back(box->GetCursor());
        Key(RAWKEY_UP);  // a single-line box ignores up and down
        Key(RAWKEY_DOWN);
        Type("X");        // overwrites the "a"
        Key(RAWKEY_TAB);  // the window's: the keyboard goes round to this box, its only one
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(PlatformTest::BeepCount() - beeps);
        // A click past the text puts the cursor right after it.
        ClickCell(*box, 12);
        seen.numbers.push_back(box->GetCursor());
    });
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"Xbc"}));
    // One beep, at the right edge: the box never sees the Tab.
    EXPECT_EQ(seen.numbers, (std::vector<int>{1, kYellow, kWhite, 0, 1, 4}));
}

TEST_F(TextBoxes, BackspaceAndDeleteEditTheTextAndReturnAndEscapeAreIgnoredOnOneLine) {
    auto box = Box(40, 60, 200, 20);
    box->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        Type("abcd");
        const int beeps = PlatformTest::BeepCount();
        Key(RAWKEY_BACKSPACE);
        seen.texts.push_back(box->GetText());
        Key(RAWKEY_LEFT, 2);
        Key(RAWKEY_BACKSPACE);  // removes the "a" before the cursor; the rest moves left
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(box->GetCursor());
        Key(RAWKEY_BACKSPACE);  // at 0: beep
        Key(RAWKEY_DELETE);     // overwrite mode: the character under the cursor is blanked
        seen.texts.push_back(box->GetText());
        Key(RAWKEY_RETURN);
        Key(RAWKEY_ESCAPE);
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(PlatformTest::BeepCount() - beeps);
    });
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"abc", "bc", " c", " c"}));
    EXPECT_EQ(seen.numbers, (std::vector<int>{0, 1}));
}

TEST_F(TextBoxes, APasswordBoxShowsStarsAndSurvivesBackspaceAfterTrailingBlanks) {
    auto box = Box(40, 60, 200, 20);
    box->SetPassword(1);
    box->Show();
    // What a star and the typed letters look like in a box that hides nothing.
    auto stars = Box(40, 100, 200, 20, "**");
    stars->Show();
    auto clear = Box(40, 140, 200, 20, "ab");
    clear->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        Type("ab  ");
        for (int column : {0, 1}) {
            seen.numbers.push_back(CellImage(*box, column) == CellImage(*stars, column));
            seen.numbers.push_back(CellImage(*box, column) != CellImage(*clear, column));
        }
        seen.numbers.push_back(CellInk(*box, 2));  // a blank stays blank
        // The text loses its trailing blanks; the cursor stays where the person put it.
        Key(RAWKEY_BACKSPACE);
        seen.numbers.push_back(box->GetCursor());
        seen.texts.push_back(box->GetText());
        Type("c");
        seen.texts.push_back(box->GetText());
        Snapshot("textbox_password.png");
    });
    EXPECT_EQ(seen.numbers, (std::vector<int>{1, 1, 1, 1, 0, 3}));
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"ab", "ab c"}));
}

TEST_F(TextBoxes, ADateBoxTakesDigitsWritesSeparatorsAndSkipsThem) {
    auto box = Box(40, 60, 200, 20);
    box->SetDate(1);
    box->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        const int beeps = PlatformTest::BeepCount();
        Type("1x2");  // the letter beeps
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(box->GetCursor());
        Type("052024");
        seen.texts.push_back(box->GetText());
        Type("9");  // full: beep
        seen.texts.push_back(box->GetText());
        Key(RAWKEY_LEFT, 5);  // 10 -> 6, then over the separator to 4
        seen.numbers.push_back(box->GetCursor());
        Key(RAWKEY_RIGHT);  // 4 -> 5 lands on the separator and skips to 6
        seen.numbers.push_back(box->GetCursor());
        Key(RAWKEY_BACKSPACE);  // after a separator: it goes with the digit before it
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(box->GetCursor());
        seen.numbers.push_back(PlatformTest::BeepCount() - beeps);
    });
    EXPECT_EQ(seen.texts,
              (std::vector<std::string>{"12/", "12/05/2024", "12/05/2024", "12/02/024"}));
    EXPECT_EQ(seen.numbers, (std::vector<int>{3, 4, 6, 4, 2}));
}

TEST_F(TextBoxes, ADateBoxMadeFromAShortLoadedBoxHoldsAWholeDate) {
    auto box = Box(40, 60, 200, 20);
    box->SetMaxLength(4);
    box->Show();
    box->SetDate(1);
    EXPECT_EQ(box->GetMaxLength(), 10);
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        Type("31122025");
        seen.texts.push_back(box->GetText());
    });
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"31/12/2025"}));
}

TEST_F(TextBoxes, NumberBoxesTakeDigitsAndADecimalBoxOnePoint) {
    auto whole = Box(40, 60, 200, 20);
    whole->SetNumber(1);
    whole->Show();
    auto money = Box(40, 100, 200, 20);
    money->SetNumber(1);
    money->SetDecimal(1);
    money->Show();
    Seen seen;
    RunWith([&] {
        const int beeps = PlatformTest::BeepCount();
        ClickCell(*whole, 0);
        Type("1a2.");
        ClickCell(*money, 0);
        Type("3.1.4");
        seen.texts.push_back(whole->GetText());
        seen.texts.push_back(money->GetText());
        seen.numbers.push_back(PlatformTest::BeepCount() - beeps);
    });
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"12", "3.14"}));
    EXPECT_EQ(seen.numbers, (std::vector<int>{3}));
}

TEST_F(TextBoxes, AFullBufferBeepsAndKeepsItsTerminator) {
    auto box = Box(40, 60, 200, 20);
    box->SetMaxLength(3);
    box->Show();
    box->SetMaxLength(50);  // too late: the buffer is made
    EXPECT_EQ(box->GetMaxLength(), 3);
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        const int beeps = PlatformTest::BeepCount();
        Type("abcd");
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(box->GetCursor());
        Key(RAWKEY_DELETE);  // on the cell after the last character
        Type("e");
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(PlatformTest::BeepCount() - beeps);
    });
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"abc", "abc"}));
    EXPECT_EQ(seen.numbers, (std::vector<int>{3, 2}));
}

TEST_F(TextBoxes, ACharacterThatDoesNotFitIsTakenBackButALongTextKeepsEveryCharacter) {
    // Room for four cells in one row.
    auto box = Box(40, 60, 6 + 4 * xs, 20);
    box->Show();
    const std::string longText = "abcdefgh";
    box->SetText(longText);
    box->OnPaint();  // whole redraws again and again
    box->OnPaint();
    EXPECT_EQ(box->GetText(), longText);
    EXPECT_EQ(box->GetCharCount(), 8);

    auto small = Box(40, 100, 6 + 4 * xs, 20);
    small->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*small, 0);
        const int beeps = PlatformTest::BeepCount();
        Type("wxyz");  // the fourth fills the last cell: the cursor has nowhere to stand
        seen.texts.push_back(small->GetText());
        seen.numbers.push_back(small->GetCursor());
        seen.numbers.push_back(PlatformTest::BeepCount() - beeps);
        Type("q");
        seen.texts.push_back(small->GetText());
        seen.numbers.push_back(CellInk(*small, 3));
    });
    // The last cell holds "z" while the cursor is drawn over it: nothing past the grid.
    EXPECT_EQ(seen.texts[0], "wxyz");
    EXPECT_EQ(seen.numbers[0], 4);
    EXPECT_EQ(seen.numbers[1], 0);
    EXPECT_EQ(seen.texts[1], "wxyz");
}

TEST_F(TextBoxes, AMultiLineBoxBreaksRowsAndInsertsAtTheCursorEvenPastTrimmedBreaks) {
    auto box = Box(40, 60, 200, 60);
    box->SetInserimento(1);
    box->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        Type("ab");
        Key(RAWKEY_RETURN);
        Type("cd");
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(CellInk(*box, 0, 1) > 0);  // "c" at the start of row 1
        seen.numbers.push_back(CellInk(*box, 2, 0));      // nothing after "ab" on row 0
        Key(RAWKEY_UP);  // from after "cd" (column 2) to the break on row 0
        seen.numbers.push_back(box->GetCursor());
        Key(RAWKEY_DOWN);  // below is the end of the text: beep, no move
        Key(RAWKEY_LEFT);
        Key(RAWKEY_DOWN);  // from "b" to "d"
        seen.numbers.push_back(box->GetCursor());
        Key(RAWKEY_LEFT);
        Key(RAWKEY_BACKSPACE);  // joins the rows
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(CellInk(*box, 0, 1));  // row 1 is empty again
        // A trailing break is trimmed from the text when the box is left; typing after it
        // must still land after the break.
        Key(RAWKEY_RIGHT, 2);
        Key(RAWKEY_RETURN);
        PlatformTest::Click(500, 400);
        PlatformTest::WaitIdle();
        ClickCell(*box, 0, 1);
        Type("e");
        seen.texts.push_back(box->GetText());
    });
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"ab\rcd", "abcd", "abcd\re"}));
    EXPECT_EQ(seen.numbers, (std::vector<int>{1, 0, 2, 4, 0}));
}

TEST_F(TextBoxes, ASingleLineBoxKeepsOnlyTheFirstLineOfItsText) {
    auto box = Box(40, 60, 200, 20);
    box->SetText("first\nsecond");
    EXPECT_EQ(box->GetText(), "first\nsecond");  // not loaded: the text as given
    box->Show();
    EXPECT_EQ(box->GetText(), "first");
    EXPECT_EQ(box->GetCursor(), 5);
}

TEST_F(TextBoxes, ADisabledBoxIsGreyTakesNoFocusAndIgnoresKeys) {
    auto box = Box(40, 60, 200, 20, "Locked");
    box->Show();
    GUIElement* element = box.get();
    element->SetEnabled(false);  // through the element model reaches the box's own setter
    Seen seen;
    RunWith([&] {
        seen.numbers.push_back(CellPaper(*box, 0));
        seen.numbers.push_back(CellInk(*box, 0, 0, kDimGrey) > 0);
        Snapshot("textbox_disabled.png");
        ClickCell(*box, 0);
        seen.numbers.push_back(Application::CustomsGadgetSel == nullptr);
        seen.numbers.push_back(box->OnKeyPress('x'));
        seen.texts.push_back(box->GetText());
    });
    EXPECT_EQ(seen.numbers, (std::vector<int>{kGrey, 1, 1, 0}));
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"Locked"}));
}

TEST_F(TextBoxes, FocusMovesBetweenBoxesAndTheOldCursorGoes) {
    auto first = Box(40, 60, 200, 20, "one");
    auto second = Box(40, 100, 200, 20, "two");
    first->Show();
    second->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*first, 1);
        seen.numbers.push_back(CellPaper(*first, 1));
        ClickCell(*second, 0);
        seen.numbers.push_back(CellPaper(*first, 1));
        seen.numbers.push_back(CellPaper(*second, 0));
        second->Focus();  // already holding the focus: stays
        first->Focus();   // the program moves the focus
        PlatformTest::WaitIdle();
        seen.numbers.push_back(Application::CustomsGadgetSel == first.get());
        seen.numbers.push_back(CellPaper(*second, 0));
    });
    EXPECT_EQ(seen.numbers, (std::vector<int>{kYellow, kWhite, kYellow, 1, kWhite}));
}

TEST_F(TextBoxes, MovingOrHidingTheFocusedBoxKeepsTheTypedTextAndLetsTheKeysGo) {
    auto box = Box(40, 60, 200, 20);
    box->SetOnTextChange(CountChange);
    box->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        Type("abc");
        box->SetLocation(40, 100);
        PlatformTest::WaitIdle();
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(Application::CustomsGadgetSel == nullptr);
        seen.numbers.push_back(CellInk(*box, 2) > 0);  // "c" drawn at the new place
        seen.numbers.push_back(CellPaper(*box, 3));    // and no cursor after it
        Type("z");                                     // no box has the keys now
        seen.texts.push_back(box->GetText());
        ClickCell(*box, 3);
        Type("d");
        box->Hide();
        PlatformTest::WaitIdle();
        seen.numbers.push_back(Application::CustomsGadgetSel == nullptr);
        Type("x");
        box->Show();
        PlatformTest::WaitIdle();
        seen.texts.push_back(box->GetText());
        seen.numbers.push_back(CellInk(*box, 3) > 0);
    });
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"abc", "abc", "abcd"}));
    EXPECT_EQ(seen.numbers, (std::vector<int>{1, 1, kWhite, 1, 1}));
    EXPECT_EQ(textChanges, 2);  // each typing counted once, when the box let the keys go
}

TEST_F(TextBoxes, ClickingAStringGadgetTakesTheFocusAndTheCursorAway) {
    auto box = Box(40, 60, 200, 20, "mine");
    box->Show();
    TextBox field(main.get(), "");
    field.SetLocation(40, 120);
    field.SetSize(200, 16);
    field.Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 1);
        seen.numbers.push_back(CellPaper(*box, 1));
        PlatformTest::Click(60, 128);
        PlatformTest::WaitIdle();
        seen.numbers.push_back(Application::CustomsGadgetSel == nullptr);
        seen.numbers.push_back(CellPaper(*box, 1));
        Type("x");                      // goes to the field, not to the box
        PlatformTest::Click(500, 400);  // the field lets the keys go again
        PlatformTest::WaitIdle();
        seen.texts.push_back(box->GetText());
        seen.texts.push_back(field.GetText());
    });
    EXPECT_EQ(seen.numbers, (std::vector<int>{kYellow, 1, kWhite}));
    EXPECT_EQ(seen.texts, (std::vector<std::string>{"mine", "x"}));
}

TEST_F(TextBoxes, TheGridComesFromTheFontAndNeverOutgrowsItsCells) {
    auto box = Box(40, 60, 200, 40);
    box->Show();
    const auto [rows, columns] = box->GetColsRowsTot();
    EXPECT_EQ(columns, (200 - 6) / xs);
    EXPECT_EQ(rows, (40 - 6) / (ys + 4));

    // A bigger font while loaded: fewer, larger cells.
    Font big("topaz.font", 16);
    box->SetFonts(big);
    const auto [bigRows, bigColumns] = box->GetColsRowsTot();
    EXPECT_EQ(bigColumns, (200 - 6) / big.GetTextFont()->tf_XSize);
    EXPECT_LT(bigColumns, columns);
    box->Hide();
    box->Show();  // cells remade for the big font
    // Back to the small font without remaking the cells: the grid asks for more cells than
    // exist and must stay within them.
    box->SetFonts(Font("topaz.font", 8));
    box->SetText("a long line that asks for more cells than the big font left");
    EXPECT_EQ(box->GetText(), "a long line that asks for more cells than the big font left");
    (void)bigRows;

    // A huge box is bounded by the fixed number of cells.
    auto huge = Box(0, 20, 790, 570);
    huge->Show();
    huge->SetText(std::string(255, 'x'));
    EXPECT_EQ(huge->GetText(), std::string(255, 'x'));
}

TEST_F(TextBoxes, LettersKeepThePixelsThatReachIntoTheNextCell) {
    // The letter's own pixels, drawn on a bitmap of its own.
    Font topaz("topaz.font", 8);
    BitMap* bm = AllocBitMap(64, 32, 8, BMF_CLEAR, nullptr);
    ASSERT_NE(bm, nullptr);
    RastPort rp;
    InitRastPort(&rp);
    rp.BitMap = bm;
    SetFont(&rp, topaz.GetTextFont());
    SetAPen(&rp, kBlack);
    SetDrMd(&rp, JAM1);
    Move(&rp, 8, 16);
    Text(&rp, "HMW", 3);
    int letterInk = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 64; ++x) {
            letterInk += ReadPixel(&rp, x, y) == kBlack;
        }
    }
    FreeBitMap(bm);
    ASSERT_GT(letterInk, 0);

    auto box = Box(40, 60, 200, 20);
    box->Show();
    Seen seen;
    RunWith([&] {
        ClickCell(*box, 0);
        Type("HMW");
        PlatformTest::Click(500, 400);
        PlatformTest::WaitIdle();
        int ink = 0;
        for (int k = 0; k < 4; ++k) {
            ink += CellInk(*box, k);
        }
        seen.numbers.push_back(ink);
    });
    EXPECT_EQ(seen.numbers, (std::vector<int>{letterInk}));
}
