// Local wall-clock date-times in the SYSTEMTIME layout, and the only two operations on them.
#pragma once

// The same layout as the platform's SYSTEMTIME, so the two convert field by field.
struct SLocalTime {
    unsigned short wYear;
    unsigned short wMonth;
    unsigned short wDayOfWeek;
    unsigned short wDay;
    unsigned short wHour;
    unsigned short wMinute;
    unsigned short wSecond;
    unsigned short wMilliseconds;
};

// t moved forward by minutes (above 0); the day of week is computed afresh.
SLocalTime AddMinutes(const SLocalTime& t, int minutes);

// -1, 0 or 1 as a is earlier than, equal to or later than b; the day of week is ignored.
int CompareLocalTime(const SLocalTime& a, const SLocalTime& b);
