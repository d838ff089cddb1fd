#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>

#include "util/MyDateTime.h"

using namespace tessella;

namespace {

// Dates are local: the tests run in Rome, where daylight saving makes some days 23 or 25 hours.
class DateTime : public ::testing::Test {
protected:
    void SetUp() override {
        const char* tz = std::getenv("TZ");
        saved = tz != nullptr ? tz : "";
        hadTz = tz != nullptr;
        setenv("TZ", "Europe/Rome", 1);
        tzset();
    }
    void TearDown() override {
        if (hadTz) {
            setenv("TZ", saved.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
        MyDateTime::SetClockSource(nullptr);
    }

    static std::string Ita(const MyDateTime& d) {
        return d.ToStringITA() + " " + d.TimeToStringITA();
    }

    std::string saved;
    bool hadTz = false;
};

timespec fixedNow{};
timespec FixedClock() {
    return fixedNow;
}

}  // namespace

TEST_F(DateTime, NormalisationRollsOver) {
    EXPECT_EQ(MyDateTime(2023, 2, 29).ToStringITA(), "01/03/2023");
    EXPECT_EQ(MyDateTime(2024, 2, 29).ToStringITA(), "29/02/2024");
    EXPECT_EQ(MyDateTime(2024, 4, 31).ToStringSQL(), "2024-05-01");
    EXPECT_EQ(Ita(MyDateTime(2024, 12, 31, 23, 59, 60)), "01/01/2025 00:00:00");
    EXPECT_EQ(MyDateTime(2024, 7, 4).ToStringENG(), "07/04/2024");
    EXPECT_EQ(MyDateTime(2024, 7, 4).DayOfWeekENG(), "Thursday");
    EXPECT_EQ(MyDateTime(2024, 7, 2).DayOfWeekENG(), "Tuesday ");
    EXPECT_EQ(MyDateTime(2024, 7, 3).DayOfWeekITA(), "Mercoled\xEC");
    EXPECT_EQ(MyDateTime(2024, 9, 1).MonthITA(), "SETTEMBRE");
    EXPECT_TRUE(MyDateTime(2024, 1, 1).IsLeapYear());
    EXPECT_FALSE(MyDateTime(1900, 1, 1).IsLeapYear());
}

TEST_F(DateTime, ParsingChecksLengthAndYearRange) {
    MyDateTime d(2024, 1, 1);
    d.ParseDateITA("31/12/2099");
    EXPECT_FALSE(d.IsError());
    EXPECT_EQ(d.ToStringSQL(), "2099-12-31");
    for (const char* bad : {"01/01/2100", "31/12/1977", "1/12/2024"}) {
        MyDateTime e(2024, 5, 6);
        e.ParseDateITA(bad);
        EXPECT_TRUE(e.IsError()) << bad;
        EXPECT_EQ(e.ToStringSQL(), "2024-05-06") << bad;
    }
    MyDateTime eng(2024, 1, 1);
    eng.ParseDateENG("02/03/2024");
    EXPECT_EQ(eng.ToStringSQL(), "2024-02-03");
    eng.ParseTime("13:45:09");
    EXPECT_EQ(Ita(eng), "03/02/2024 13:45:09");
    eng.ParseTime("1:45:09");
    EXPECT_TRUE(eng.IsError());
}

TEST_F(DateTime, Easter) {
    EXPECT_EQ(MyDateTime::Pasqua(2024).ToStringITA(), "31/03/2024");
    EXPECT_EQ(MyDateTime::Pasqua(2025).ToStringITA(), "20/04/2025");
    EXPECT_EQ(MyDateTime::Pasqua(1981).ToStringITA(), "19/04/1981");  // the 26 April rule
    EXPECT_EQ(MyDateTime::Pasqua(1954).ToStringITA(), "18/04/1954");  // the 25 April rule
    EXPECT_TRUE(MyDateTime(2025, 4, 21).Festivita());                 // Easter Monday
    EXPECT_TRUE(MyDateTime(2024, 6, 2).Festivita());
    EXPECT_FALSE(MyDateTime(2024, 6, 3).Festivita());
}

TEST_F(DateTime, MonthArithmeticKeepsTheDayInTheMonth) {
    MyDateTime a(2024, 1, 31);
    a.AddMonth(1);
    EXPECT_EQ(a.ToStringITA(), "29/02/2024");
    MyDateTime b(2024, 2, 15);
    b.AddMonth(-3);
    EXPECT_EQ(b.ToStringITA(), "15/11/2023");
    MyDateTime c(2024, 11, 30);
    c.AddMonth(14);
    EXPECT_EQ(c.ToStringITA(), "30/01/2026");
    MyDateTime leap(2024, 2, 29);
    leap.AddYear(1);
    EXPECT_EQ(leap.ToStringITA(), "01/03/2025");
}

TEST_F(DateTime, DaysStayDaysAcrossDaylightSaving) {
    // 31 March 2024 lasted 23 hours in Rome.
    EXPECT_EQ(MyDateTime(2024, 3, 1).LastMonthDay(), 31);
    EXPECT_EQ(MyDateTime(2024, 2, 10).LastMonthDay(), 29);
    MyDateTime d(2024, 3, 31);
    d.AddDays(1);
    EXPECT_EQ(Ita(d), "01/04/2024 00:00:00");
    EXPECT_EQ(MyDateTime(2024, 3, 31).DayDiff(MyDateTime(2024, 4, 1)), 1);
    EXPECT_EQ(MyDateTime(2024, 10, 27).DayDiff(MyDateTime(2024, 10, 20)), -7);
    MyDateTime h(2024, 3, 31, 1, 30, 0);
    h.AddHour(1);
    EXPECT_EQ(h.TimeToStringITA(), "03:30:00");
}

TEST_F(DateTime, CalendarOfAMonth) {
    const std::string feb = MyDateTime(2024, 2, 17).GetMounthCalendar();
    EXPECT_EQ(feb.size(), 29u);
    EXPECT_EQ(feb.substr(0, 8), "45601234");
}

TEST_F(DateTime, MillisecondsAndComparison) {
    fixedNow = {1700000000, 250000000};
    MyDateTime::SetClockSource(FixedClock);
    const MyDateTime first;
    fixedNow = {1700000001, 249000000};
    const MyDateTime second;
    EXPECT_EQ(first.MillsecDiff(second), 999);
    fixedNow = {1700000000, 900000000};
    const MyDateTime sameSecond;
    EXPECT_TRUE(first == sameSecond);
    EXPECT_FALSE(first < sameSecond);
    EXPECT_TRUE(first < second);
    EXPECT_EQ(first.Compare(second), -1);
    EXPECT_EQ(second.Compare(first), 1);
    // 64 bits: a month apart does not overflow and is not negative.
    fixedNow = {1700000000 + 40 * 86400, 0};
    EXPECT_EQ(first.MillsecDiff(MyDateTime()), 40LL * 86400 * 1000 - 250);

    MyDateTime back = first;
    back.AddMillSecond(-300);
    EXPECT_EQ(back.Millisecond(), 950);
    EXPECT_EQ(back.Epoch(), 1700000000 - 1);

    MyDateTime broken(2024, 1, 1);
    broken.ParseDateITA("bad");
    EXPECT_TRUE(broken == second && broken <= first && !(broken != second));
    EXPECT_EQ(broken.Compare(second), 0);
    EXPECT_EQ(broken.MillsecDiff(second), 0);
}
