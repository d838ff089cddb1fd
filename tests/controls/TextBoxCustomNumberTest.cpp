// The number boxes built on the custom text box: digits only, as many as the range needs, and
// the value brought back into its range when the person leaves the box.
#include "ControlDesk.h"
#include "controls/CurrencyBox.h"
#include "controls/NumericBox.h"

using namespace tessella;

namespace {

class NumberBoxes : public ControlDesk {
protected:
    static void ClickIn(TextBoxCustom& box) {
        const tagPOINT at = box.GetPosition();
        PlatformTest::Click(at.x + box.Width() - 8, at.y + box.Height() / 2);
        PlatformTest::WaitIdle();
    }
    static void Leave() {
        PlatformTest::Click(500, 400);
        PlatformTest::WaitIdle();
    }
    static void Type(const char* s) {
        ASSERT_TRUE(PlatformTest::TypeText(s));
        PlatformTest::WaitIdle();
    }
};

}  // namespace

TEST_F(NumberBoxes, AWholeNumberBoxStartsAtItsMinimumAndComesBackIntoRange) {
    NumericBox age(main.get(), 1, 99);
    EXPECT_EQ(age.GetText(), "1");
    EXPECT_EQ(age.GetMaxLength(), 2);
    NumericBox count(main.get(), 0, 500);
    EXPECT_EQ(count.GetText(), "0");
    EXPECT_EQ(count.GetMaxLength(), 3);
    NumericBox below(main.get(), -99, -10);  // the digits of the maximum, without a sign
    EXPECT_EQ(below.GetMaxLength(), 2);
    age.SetLocation(40, 60);
    age.SetSize(100, 20);
    age.Show();
    count.SetLocation(40, 100);
    count.SetSize(100, 20);
    count.Show();
    std::vector<std::string> seen;
    int beeps = 0;
    RunWith([&] {
        const int before = PlatformTest::BeepCount();
        ClickIn(age);
        PlatformTest::TypeKey(RAWKEY_BACKSPACE);
        Type("0");
        seen.push_back(age.GetText());
        Leave();  // 0 is below the minimum
        seen.push_back(age.GetText());
        ClickIn(count);
        Type("x7");  // the letter beeps
        Type("55");  // the third digit fills the box; the fourth beeps
        seen.push_back(count.GetText());
        Leave();
        seen.push_back(count.GetText());
        beeps = PlatformTest::BeepCount() - before;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"0", "1", "075", "75"}));
    EXPECT_EQ(age.GetValue(), 1);
    EXPECT_EQ(count.GetValue(), 75);
    EXPECT_EQ(beeps, 2);
}

TEST_F(NumberBoxes, AnAmountBoxTakesOnePointAndShowsTwoDecimals) {
    CurrencyBox amount(main.get(), 0.0, 999.99);
    EXPECT_EQ(amount.GetText(), "0");
    EXPECT_EQ(amount.GetMaxLength(), 6);
    amount.SetLocation(40, 60);
    amount.SetSize(100, 20);
    amount.Show();
    CurrencyBox fee(main.get(), 2.5, 10.0);
    EXPECT_EQ(fee.GetText(), "2.50");
    std::vector<std::string> seen;
    int beeps = 0;
    RunWith([&] {
        const int before = PlatformTest::BeepCount();
        ClickIn(amount);
        PlatformTest::TypeKey(RAWKEY_BACKSPACE);
        Type("12.5.");  // the second point beeps
        seen.push_back(amount.GetText());
        Leave();
        seen.push_back(amount.GetText());
        // Delete takes the character under the cursor and closes the gap.
        ClickIn(amount);
        for (int i = 0; i < 5; ++i) {
            PlatformTest::TypeKey(RAWKEY_LEFT);
        }
        PlatformTest::TypeKey(RAWKEY_DELETE);
        PlatformTest::WaitIdle();
        seen.push_back(amount.GetText());
        Type("3");
        seen.push_back(amount.GetText());
        beeps = PlatformTest::BeepCount() - before;
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"12.5", "12.50", "2.50", "32.50"}));
    EXPECT_DOUBLE_EQ(amount.GetValue(), 32.5);
    EXPECT_EQ(beeps, 1);
}
