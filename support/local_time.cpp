#include "support/local_time.h"

namespace {

bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int MonthLength(int year, int month) {
    static const int kLengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && IsLeapYear(year))
        return 29;
    if (month < 1 || month > 12)
        return 31;
    return kLengths[month - 1];
}

int DayOfWeek(int year, int month, int day) {
    if (month < 3) {
        month += 12;
        year -= 1;
    }
    return (day + (13 * month + 8) / 5 + year + year / 4 - year / 100 + year / 400) % 7;
}

} // namespace

SLocalTime AddMinutes(const SLocalTime& t, int minutes) {
    SLocalTime result = t;
    if (minutes <= 0)
        return result;
    long long total = static_cast<long long>(t.wMinute) + minutes;
    result.wMinute = static_cast<unsigned short>(total % 60);
    total = t.wHour + total / 60;
    result.wHour = static_cast<unsigned short>(total % 24);
    long long days = total / 24;
    int year = t.wYear, month = t.wMonth, day = t.wDay;
    while (days > 0) {
        int length = MonthLength(year, month);
        long long step = length - day + 1;
        if (step > days)
            step = days;
        if (day + step <= length) {
            day += static_cast<int>(step);
        } else {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
            }
        }
        days -= step;
    }
    result.wYear = static_cast<unsigned short>(year);
    result.wMonth = static_cast<unsigned short>(month);
    result.wDay = static_cast<unsigned short>(day);
    result.wDayOfWeek = static_cast<unsigned short>(DayOfWeek(year, month, day));
    return result;
}

int CompareLocalTime(const SLocalTime& a, const SLocalTime& b) {
    const unsigned short left[] = {a.wYear,   a.wMonth,  a.wDay,         a.wHour,
                                   a.wMinute, a.wSecond, a.wMilliseconds};
    const unsigned short right[] = {b.wYear,   b.wMonth,  b.wDay,         b.wHour,
                                    b.wMinute, b.wSecond, b.wMilliseconds};
    for (int i = 0; i < 7; ++i) {
        if (left[i] != right[i])
            return left[i] < right[i] ? -1 : 1;
    }
    return 0;
}
