#include "MyDateTime.h"

#include <cstdlib>

#include "StringUtils.h"

namespace tessella {

namespace {

constexpr int64_t kSecondsPerDay = 86400;

timespec WallClock() {
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    return now;
}

MyDateTime::ClockSource clockSource = WallClock;

// Days since 1970-01-01 of a proleptic Gregorian date: day arithmetic that no daylight-saving
// change can shift by an hour.
int64_t DaysFromCivil(int64_t y, int m, int d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

bool LeapYear(int y) {
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int DaysInMonth(int y, int m) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && LeapYear(y) ? 29 : kDays[(m - 1 + 12) % 12];
}

int TwoDigits(const std::string& text, size_t at) {
    return std::atoi(text.substr(at, 2).c_str());
}

const char* const kMonthITA[12] = {"GENNAIO",   "FEBBRAIO", "MARZO",    "APRILE",
                                   "MAGGIO",    "GIUGNO",   "LUGLIO",   "AGOSTO",
                                   "SETTEMBRE", "OTTOBRE",  "NOVEMBRE", "DICEMBRE"};
const char* const kMonthENG[12] = {"JANUARY",   "FEBRUARY", "MARCH",    "APRIL",
                                   "MAY",       "JUNE",     "JULY",     "AUGUST",
                                   "SEPTEMBER", "OCTOBER",  "NOVEMBER", "DECEMBER"};
const char* const kDayITA[7] = {"Domenica",   "Luned\xEC",  "Marted\xEC", "Mercoled\xEC",
                                "Gioved\xEC", "Venerd\xEC", "Sabato"};
const char* const kDayENG[7] = {"Sunday",   "Monday", "Tuesday ", "Wednesday",
                                "Thursday", "Friday", "Saturday"};

}  // namespace

void MyDateTime::SetClockSource(ClockSource source) {
    clockSource = source != nullptr ? source : WallClock;
}

MyDateTime::MyDateTime() {
    // The wall clock's sub-second part: the processor clock would measure CPU time here.
    const timespec now = clockSource();
    SetFromEpoch(static_cast<int64_t>(now.tv_sec));
    millisecond = static_cast<int32_t>(now.tv_nsec / 1000000);
}

MyDateTime::MyDateTime(int y, int m, int d) : MyDateTime(y, m, d, 0, 0, 0) {}

MyDateTime::MyDateTime(int y, int m, int d, int h, int mi, int s) {
    Init(y, m, d, h, mi, s);
    Normalize();
}

MyDateTime::MyDateTime(_SYSTEMTIME st) {
    Init(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
    Normalize();
}

MyDateTime::MyDateTime(const MyDateTime* other) {
    if (other != nullptr) {
        *this = *other;
    }
    Normalize();
}

void MyDateTime::Init(int y, int m, int d, int h, int mi, int s) {
    year = y;
    month = m;
    day = d;
    hour = h;
    minute = mi;
    second = s;
    dayOfWeek = 0;
    epoch = 0;
}

void MyDateTime::Normalize() {
    tm t = SYSTEMTIMEtoTM(ToSYSTEMTIME());
    const time_t seconds = mktime(&t);
    if (seconds == static_cast<time_t>(-1)) {
        error = 1;
        return;
    }
    SetFromEpoch(static_cast<int64_t>(seconds));
}

void MyDateTime::SetFromEpoch(int64_t seconds) {
    const time_t tt = static_cast<time_t>(seconds);
    tm t{};
    localtime_r(&tt, &t);
    const _SYSTEMTIME st = TMtoSYSTEMTIME(&t, seconds);
    year = st.wYear;
    month = st.wMonth;
    dayOfWeek = st.wDayOfWeek;
    day = st.wDay;
    hour = st.wHour;
    minute = st.wMinute;
    second = st.wSecond;
    millisecond = 0;
    epoch = seconds;
}

_SYSTEMTIME MyDateTime::ToSYSTEMTIME() const {
    _SYSTEMTIME st;
    st.wYear = year;
    st.wMonth = month;
    st.wDayOfWeek = dayOfWeek;
    st.wDay = day;
    st.wHour = hour;
    st.wMinute = minute;
    st.wSecond = second;
    st.wMilliseconds = millisecond;
    return st;
}

_SYSTEMTIME MyDateTime::TMtoSYSTEMTIME(const tm* t, int64_t /*epoch*/) {
    _SYSTEMTIME st;
    st.wYear = t->tm_year + 1900;
    st.wMonth = t->tm_mon + 1;
    st.wDayOfWeek = t->tm_wday;
    st.wDay = t->tm_mday;
    st.wHour = t->tm_hour;
    st.wMinute = t->tm_min;
    st.wSecond = t->tm_sec;
    return st;
}

tm MyDateTime::SYSTEMTIMEtoTM(const _SYSTEMTIME& st) {
    tm t{};
    t.tm_year = st.wYear - 1900;
    t.tm_mon = st.wMonth - 1;
    t.tm_mday = st.wDay;
    t.tm_hour = st.wHour;
    t.tm_min = st.wMinute;
    t.tm_sec = st.wSecond;
    t.tm_isdst = -1;  // let the platform decide whether daylight saving applies
    return t;
}

bool MyDateTime::IsLeapYear() const {
    return LeapYear(year);
}

int MyDateTime::LastMonthDay() const {
    // Counted, not derived from "one day before the 1st": where the month's last day is 23 hours
    // long (spring forward), the subtraction would land on the day before.
    return DaysInMonth(year, month);
}

std::string MyDateTime::ToStringITA() const {
    return StringUtils::IntToStr(day, '0', 2) + "/" + StringUtils::IntToStr(month, '0', 2) + "/" +
           StringUtils::IntToStr(year, '0', 4);
}

std::string MyDateTime::ToStringENG() const {
    return StringUtils::IntToStr(month, '0', 2) + "/" + StringUtils::IntToStr(day, '0', 2) + "/" +
           StringUtils::IntToStr(year, '0', 4);
}

std::string MyDateTime::ToStringSQL() const {
    return StringUtils::IntToStr(year, '0', 4) + "-" + StringUtils::IntToStr(month, '0', 2) + "-" +
           StringUtils::IntToStr(day, '0', 2);
}

std::string MyDateTime::TimeToStringITA() const {
    return StringUtils::IntToStr(hour, '0', 2) + ":" + StringUtils::IntToStr(minute, '0', 2) + ":" +
           StringUtils::IntToStr(second, '0', 2);
}

std::string MyDateTime::MonthITA() const {
    return month >= 1 && month <= 12 ? kMonthITA[month - 1] : "";
}
std::string MyDateTime::MonthENG() const {
    return month >= 1 && month <= 12 ? kMonthENG[month - 1] : "";
}
std::string MyDateTime::DayOfWeekITA() const {
    return dayOfWeek >= 0 && dayOfWeek <= 6 ? kDayITA[dayOfWeek] : "";
}
std::string MyDateTime::DayOfWeekENG() const {
    return dayOfWeek >= 0 && dayOfWeek <= 6 ? kDayENG[dayOfWeek] : "";
}

std::string MyDateTime::GetMounthCalendar() const {
    // 1970-01-01 was a Thursday (4).
    const int64_t first = DaysFromCivil(year, month, 1);
    const int firstWeekday = static_cast<int>(((first % 7) + 7 + 4) % 7);
    std::string days;
    for (int i = 0; i < DaysInMonth(year, month); ++i) {
        days += static_cast<char>('0' + (firstWeekday + i) % 7);
    }
    return days;
}

MyDateTime MyDateTime::ParseDate(const std::string& text, bool dayFirst) {
    if (text.size() != 10) {
        error = 1;
        return *this;
    }
    const int a = TwoDigits(text, 0);
    const int b = TwoDigits(text, 3);
    const int y = std::atoi(text.substr(6, 4).c_str());
    if (y < 1978 || y > 2099) {
        error = 1;
        return *this;
    }
    error = 0;
    Init(y, dayFirst ? b : a, dayFirst ? a : b, 0, 0, 0);
    Normalize();
    return *this;
}

MyDateTime MyDateTime::ParseDateITA(const std::string& text) {
    return ParseDate(text, true);
}
MyDateTime MyDateTime::ParseDateENG(const std::string& text) {
    return ParseDate(text, false);
}

MyDateTime MyDateTime::ParseTime(const std::string& text) {
    if (text.size() != 8) {
        error = 1;
        return *this;
    }
    error = 0;
    hour = TwoDigits(text, 0);
    minute = TwoDigits(text, 3);
    second = TwoDigits(text, 6);
    Normalize();
    return *this;
}

MyDateTime MyDateTime::AddYear(int n) {
    year += n;
    Normalize();
    return *this;
}

MyDateTime MyDateTime::AddMonth(int n) {
    int m = month + n % 12;
    int y = n / 12;
    if (m > 12) {
        m -= 12;
        ++y;
    } else if (m <= 0) {
        m += 12;
        --y;
    }
    month = m;
    year += y;
    if (day > DaysInMonth(year, month)) {
        day = DaysInMonth(year, month);
    }
    Normalize();
    return *this;
}

MyDateTime MyDateTime::AddDays(int n) {
    // Through the calendar, not n x 86,400 seconds: across a daylight-saving change the time of
    // day must stay where it was, or midnight plus one day would still be the same day.
    if (error == 0) {
        day += n;
        Normalize();
    }
    return *this;
}

MyDateTime MyDateTime::AddHour(int n) {
    if (error == 0) {
        SetFromEpoch(epoch + int64_t{n} * 3600);
    }
    return *this;
}

MyDateTime MyDateTime::AddMinute(int n) {
    if (error == 0) {
        SetFromEpoch(epoch + int64_t{n} * 60);
    }
    return *this;
}

MyDateTime MyDateTime::AddSecond(int n) {
    if (error == 0) {
        SetFromEpoch(epoch + n);
    }
    return *this;
}

MyDateTime MyDateTime::AddMillSecond(int64_t n) {
    const int64_t t = millisecond + n;
    int64_t carry = t / 1000;
    int64_t rest = t % 1000;
    if (rest < 0) {  // going back past a whole second borrows from the seconds
        rest += 1000;
        --carry;
    }
    SetFromEpoch(epoch + carry);
    millisecond = static_cast<int32_t>(rest);
    return *this;
}

MyDateTime MyDateTime::TruncTime() const {
    MyDateTime copy = *this;
    copy.hour = 0;
    copy.minute = 0;
    copy.second = 0;
    copy.Normalize();
    return copy;
}

int64_t MyDateTime::DayDiff(const MyDateTime& other) const {
    if (error != 0) {
        return 0;
    }
    // Calendar days: a day of 23 or 25 hours still counts as one.
    return DaysFromCivil(other.year, other.month, other.day) - DaysFromCivil(year, month, day);
}

int64_t MyDateTime::SecDiff(const MyDateTime& other) const {
    return error != 0 ? 0 : other.epoch - epoch;
}

int64_t MyDateTime::MillsecDiff(const MyDateTime& other) const {
    if (error != 0) {
        return 0;
    }
    return (other.epoch - epoch) * 1000 + other.millisecond - millisecond;
}

int MyDateTime::Compare(const MyDateTime& other) const {
    if (error != 0 || epoch == other.epoch) {
        return 0;
    }
    return epoch < other.epoch ? -1 : 1;
}

MyDateTime MyDateTime::Pasqua(int y) {
    static const int kM[10] = {22, 22, 23, 23, 24, 24, 24, 25, 26, 25};
    static const int kN[10] = {2, 2, 3, 4, 5, 5, 6, 0, 1, 1};
    int m = 0;
    int n = 0;
    if (y >= 1500 && y <= 2499) {
        m = kM[y / 100 - 15];
        n = kN[y / 100 - 15];
    }
    const int d = (19 * (y % 19) + m) % 30;
    const int e = (2 * (y % 4) + 4 * (y % 7) + 6 * d + n) % 7;
    if (d + e <= 9) {
        return MyDateTime(y, 3, 22 + d + e);
    }
    int april = d + e - 9;
    if (april == 26) {
        april = 19;
    } else if (april == 25 && d == 28 && e == 6 && y % 19 > 10) {
        april = 18;
    }
    return MyDateTime(y, 4, april);
}

bool MyDateTime::Festivita() const {
    static const int kFixed[][2] = {{1, 1},  {1, 6},  {4, 25}, {5, 1},   {6, 2},
                                    {8, 15}, {11, 1}, {12, 8}, {12, 25}, {12, 26}};
    for (const auto& md : kFixed) {
        if (month == md[0] && day == md[1]) {
            return true;
        }
    }
    MyDateTime easter = Pasqua(year);
    if (easter.month == month && easter.day == day) {
        return true;
    }
    easter.AddDays(1);
    return easter.month == month && easter.day == day;
}

bool operator<(const MyDateTime& a, const MyDateTime& b) {
    return !a.IsError() && a.Epoch() < b.Epoch();
}
bool operator<=(const MyDateTime& a, const MyDateTime& b) {
    return a.IsError() || a.Epoch() <= b.Epoch();
}
bool operator>(const MyDateTime& a, const MyDateTime& b) {
    return !a.IsError() && a.Epoch() > b.Epoch();
}
bool operator>=(const MyDateTime& a, const MyDateTime& b) {
    return a.IsError() || a.Epoch() >= b.Epoch();
}
bool operator==(const MyDateTime& a, const MyDateTime& b) {
    return a.IsError() || a.Epoch() == b.Epoch();
}
bool operator!=(const MyDateTime& a, const MyDateTime& b) {
    return !a.IsError() && a.Epoch() != b.Epoch();
}

}  // namespace tessella
