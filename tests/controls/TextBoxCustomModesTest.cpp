// The self-drawn text box's modes as a person meets them: letters placed in their cells by the
// alignment, the cursor of a multi-line box kept on its text, and a date box made while hidden.
#include <keymap.h>

#include <memory>
#include <string>

#include "ControlDesk.h"
#include "controls/TextBoxCustom.h"
#include "runtime/Font.h"

using namespace tessella;

namespace {

class TextBoxModes : public ControlDesk {
protected:
    std::unique_ptr<TextBoxCustom> Box(int x, int y, int w, int h, const std::string& text = "") {
        auto box = std::make_unique<TextBoxCustom>(main.get(), text);
        box->SetLocation(x, y);
        box->SetSize(w, h);
        return box;
    }
    // The box inside its frame, a row of '#' (ink) and '.' for every pixel line.
    static std::string Inside(TextBoxCustom& box) {
        const tagPOINT at = box.GetPosition();
        std::string s;
        for (int y = at.y + 3; y < at.y + box.Height() - 3; ++y) {
            for (int x = at.x + 3; x < at.x + box.Width() - 3; ++x) {
                s += Pen(x, y) == kBlack ? '#' : '.';
            }
            s += '\n';
        }
        return s;
    }
    // The first column (from the box's left edge) that holds ink, or -1.
    static int FirstInk(TextBoxCustom& box) {
        const tagPOINT at = box.GetPosition();
        for (int x = at.x + 3; x < at.x + box.Width() - 3; ++x) {
            for (int y = at.y + 3; y < at.y + box.Height() - 3; ++y) {
                if (Pen(x, y) == kBlack) {
                    return x - at.x;
                }
            }
        }
        return -1;
    }
    static void ClickIn(TextBoxCustom& box) {
        const tagPOINT at = box.GetPosition();
        PlatformTest::Click(at.x + box.Width() - 8, at.y + 8);
        PlatformTest::WaitIdle();
    }
    static void Key(UWORD raw) {
        PlatformTest::TypeKey(raw);
        PlatformTest::WaitIdle();
    }
};

}  // namespace

TEST_F(TextBoxModes, ALetterNarrowerThanItsCellSitsLeftCentredOrRight) {
    // A proportional font: its cells are as wide as its nominal width, an "i" much narrower.
    Font narrow("helvetica.font", 13);
    ASSERT_NE(narrow.GetTextFont(), nullptr);
    std::unique_ptr<TextBoxCustom> boxes[3];
    for (int i = 0; i < 3; ++i) {
        boxes[i] = Box(40, 60 + 40 * i, 60, 26, "i");
        boxes[i]->SetFonts(narrow);
    }
    boxes[1]->SetCenterAlign(1);
    boxes[2]->SetRightAlign(1);
    for (auto& box : boxes) {
        box->Show();
    }
    const int left = FirstInk(*boxes[0]);
    const int centred = FirstInk(*boxes[1]);
    const int right = FirstInk(*boxes[2]);
    ASSERT_GT(left, 0);
    EXPECT_LT(left, centred);
    EXPECT_LT(centred, right);
    // Only the place differs: the same letter in each.
    EXPECT_NE(Inside(*boxes[0]), Inside(*boxes[1]));

    boxes[2]->SetRightAlign(0);  // back to the left
    EXPECT_EQ(Inside(*boxes[2]), Inside(*boxes[0]));
    boxes[1]->SetRightAlign(1);  // right wins over the centring
    EXPECT_EQ(FirstInk(*boxes[1]), right);
}

TEST_F(TextBoxModes, AMultiLineBoxKeepsTheCursorOnItsText) {
    auto box = Box(40, 60, 200, 60);
    box->SetMultiline(1);
    box->Show();
    std::vector<int> cursors;
    int beeps = 0;
    RunWith([&] {
        ClickIn(*box);
        ASSERT_TRUE(PlatformTest::TypeText("ab"));
        Key(RAWKEY_RETURN);
        ASSERT_TRUE(PlatformTest::TypeText("c"));
        PlatformTest::WaitIdle();
        cursors.push_back(box->GetCursor());  // after "ab", the break and "c"
        const int before = PlatformTest::BeepCount();
        Key(RAWKEY_RIGHT);  // already at the end: a beep
        cursors.push_back(box->GetCursor());
        Key(RAWKEY_UP);  // to the first row, over the "b"
        cursors.push_back(box->GetCursor());
        Key(RAWKEY_DOWN);  // below the "b" the row holds nothing: a beep
        cursors.push_back(box->GetCursor());
        beeps = PlatformTest::BeepCount() - before;
    });
    EXPECT_EQ(box->GetText(), "ab\rc");
    EXPECT_EQ(cursors, (std::vector<int>{4, 4, 1, 1}));
    EXPECT_EQ(beeps, 2);
}

TEST_F(TextBoxModes, ADateBoxMadeWhileHiddenShowsTheTextGivenWhileHidden) {
    auto box = Box(40, 60, 200, 20, "old text");
    box->Show();
    box->Hide();
    box->SetText("25/12/2024");
    box->SetDate(1);
    box->Show();
    EXPECT_EQ(box->GetText(), "25/12/2024");
}

TEST_F(TextBoxModes, ADateBoxMadeFromALongerTextBeforeItShowsEndsAtTenCharacters) {
    auto box = Box(40, 60, 200, 20, "1234567890123456");
    box->SetDate(1);
    box->Show();
    std::vector<int> cursors;
    int beeps = 0;
    RunWith([&] {
        ClickIn(*box);  // past the text: the cursor goes to its end
        cursors.push_back(box->GetCursor());
        const int before = PlatformTest::BeepCount();
        Key(RAWKEY_RIGHT);  // at the end: a beep, the cursor stays
        cursors.push_back(box->GetCursor());
        beeps = PlatformTest::BeepCount() - before;
    });
    EXPECT_EQ(box->GetText(), "1234567890");
    EXPECT_EQ(cursors, (std::vector<int>{10, 10}));
    EXPECT_EQ(beeps, 1);

    // Made a date box while shown, it looks the same: the ten characters and nothing after.
    auto shown = Box(40, 100, 200, 20, "1234567890123456");
    shown->Show();
    shown->SetDate(1);
    EXPECT_EQ(Inside(*shown), Inside(*box));
    EXPECT_EQ(shown->GetCursor(), 10);
}
