#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace tessella {

// The platform-neutral broken-down time record the date value converts to and from.
struct _SYSTEMTIME {
    int32_t wYear = 0;
    int32_t wMonth = 0;
    int32_t wDayOfWeek = 0;
    int32_t wDay = 0;
    int32_t wHour = 0;
    int32_t wMinute = 0;
    int32_t wSecond = 0;
    int32_t wMilliseconds = 0;
};

// A local date and time kept together with its calendar second count. Every element keeps one
// to time double clicks; the rest serves date pickers and archives.
class MyDateTime {
public:
    MyDateTime();
    MyDateTime(int year, int month, int day);
    MyDateTime(int year, int month, int day, int hour, int minute, int second);
    explicit MyDateTime(_SYSTEMTIME st);
    explicit MyDateTime(const MyDateTime* other);

    void Init(int year, int month, int day, int hour, int minute, int second);

    int Year() const { return year; }
    int Month() const { return month; }
    int Day() const { return day; }
    int Hour() const { return hour; }
    int Minute() const { return minute; }
    int Second() const { return second; }
    int Millisecond() const { return millisecond; }
    int DayOfWeek() const { return dayOfWeek; }
    int64_t Epoch() const { return epoch; }
    bool IsError() const { return error != 0; }
    bool IsLeapYear() const;
    int LastMonthDay() const;
    void DefVariables() { error = 0; }

    _SYSTEMTIME ToSYSTEMTIME() const;
    static _SYSTEMTIME TMtoSYSTEMTIME(const tm* t, int64_t epoch);
    static tm SYSTEMTIMEtoTM(const _SYSTEMTIME& st);

    std::string ToStringITA() const;
    std::string ToStringENG() const;
    std::string ToStringSQL() const;
    std::string TimeToStringITA() const;
    std::string ToString() const { return ToStringITA(); }
    std::string TimeToString() const { return TimeToStringITA(); }
    std::string ToStringLongFormat() const { return TimeToStringITA(); }
    std::string MonthITA() const;
    std::string MonthENG() const;
    std::string DayOfWeekITA() const;
    std::string DayOfWeekENG() const;
    std::string GetMounthCalendar() const;

    MyDateTime ParseDateITA(const std::string& text);
    MyDateTime ParseDateENG(const std::string& text);
    MyDateTime ParseTime(const std::string& text);

    MyDateTime AddYear(int n);
    MyDateTime AddMonth(int n);
    MyDateTime AddDays(int n);
    MyDateTime AddHour(int n);
    MyDateTime AddMinute(int n);
    MyDateTime AddSecond(int n);
    MyDateTime AddMillSecond(int64_t n);
    MyDateTime TruncTime() const;

    int64_t DayDiff(const MyDateTime& other) const;
    int64_t SecDiff(const MyDateTime& other) const;
    // 64 bits: in 32 the difference overflows after about 24 days.
    int64_t MillsecDiff(const MyDateTime& other) const;
    int Compare(const MyDateTime& other) const;

    static MyDateTime Pasqua(int year);
    bool Festivita() const;

    // Where "now" comes from: the wall clock, or a test's fixed instant.
    using ClockSource = timespec (*)();
    static void SetClockSource(ClockSource source);

private:
    void Normalize();
    void SetFromEpoch(int64_t seconds);
    MyDateTime ParseDate(const std::string& text, bool dayFirst);

    int32_t year = 1970;
    int32_t month = 1;
    int32_t dayOfWeek = 4;
    int32_t day = 1;
    int32_t hour = 0;
    int32_t minute = 0;
    int32_t second = 0;
    int32_t millisecond = 0;
    // Kept in 64 bits so that every date the parser accepts (up to 2099) has its second count.
    int64_t epoch = 0;
    int32_t error = 0;
};

bool operator<(const MyDateTime& a, const MyDateTime& b);
bool operator<=(const MyDateTime& a, const MyDateTime& b);
bool operator>(const MyDateTime& a, const MyDateTime& b);
bool operator>=(const MyDateTime& a, const MyDateTime& b);
bool operator==(const MyDateTime& a, const MyDateTime& b);
bool operator!=(const MyDateTime& a, const MyDateTime& b);

}  // namespace tessella
