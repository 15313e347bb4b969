// Release-time arithmetic and the comparison that orders held mail and decides when it is due.
#include <gtest/gtest.h>

#include "support/local_time.h"

namespace {

SLocalTime At(int year, int month, int day, int hour, int minute, int second = 0, int ms = 0) {
    SLocalTime t = {};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    t.wMilliseconds = ms;
    return t;
}

void ExpectDate(const SLocalTime& t, int year, int month, int day, int hour, int minute) {
    EXPECT_EQ(year, t.wYear);
    EXPECT_EQ(month, t.wMonth);
    EXPECT_EQ(day, t.wDay);
    EXPECT_EQ(hour, t.wHour);
    EXPECT_EQ(minute, t.wMinute);
}

} // namespace

TEST(AddMinutes, CarriesIntoTheNextYearKeepingSecondsAndRecomputingWeekday) {
    SLocalTime t = AddMinutes(At(2026, 12, 31, 23, 58, 17, 345), 5);
    ExpectDate(t, 2027, 1, 1, 0, 3);
    EXPECT_EQ(17, t.wSecond);
    EXPECT_EQ(345, t.wMilliseconds);
    EXPECT_EQ(5, t.wDayOfWeek); // 1 January 2027 is a Friday
}

TEST(AddMinutes, CarriesIntoTheNextMonthAfterThirtyDayMonths) {
    ExpectDate(AddMinutes(At(2026, 9, 30, 23, 58), 5), 2026, 10, 1, 0, 3);
    ExpectDate(AddMinutes(At(2026, 11, 30, 23, 58), 5), 2026, 12, 1, 0, 3);
    ExpectDate(AddMinutes(At(2026, 10, 30, 23, 58), 5), 2026, 10, 31, 0, 3);
}

TEST(AddMinutes, FebruaryFollowsTheGregorianLeapYears) {
    ExpectDate(AddMinutes(At(2000, 2, 28, 23, 59), 1), 2000, 2, 29, 0, 0);
    ExpectDate(AddMinutes(At(2024, 2, 28, 23, 59), 1), 2024, 2, 29, 0, 0);
    ExpectDate(AddMinutes(At(1900, 2, 28, 23, 59), 1), 1900, 3, 1, 0, 0);
    ExpectDate(AddMinutes(At(2100, 2, 28, 23, 59), 1), 2100, 3, 1, 0, 0);
    ExpectDate(AddMinutes(At(2025, 2, 28, 23, 59), 1), 2025, 3, 1, 0, 0);
}

TEST(AddMinutes, WholeDaysAndMonths) {
    SLocalTime day = AddMinutes(At(2026, 12, 7, 10, 15, 30), 1440);
    ExpectDate(day, 2026, 12, 8, 10, 15);
    EXPECT_EQ(2, day.wDayOfWeek); // Tuesday
    ExpectDate(AddMinutes(At(2026, 1, 15, 9, 0), 31 * 1440), 2026, 2, 15, 9, 0);
    // Many days at once cross several months and a leap day.
    ExpectDate(AddMinutes(At(2024, 1, 31, 12, 0), 400 * 1440), 2025, 3, 6, 12, 0);
}

TEST(AddMinutes, HoursCarryWithinTheDay) {
    ExpectDate(AddMinutes(At(2026, 12, 7, 10, 0, 30), 5), 2026, 12, 7, 10, 5);
    ExpectDate(AddMinutes(At(2026, 12, 7, 10, 50), 135), 2026, 12, 7, 13, 5);
}

TEST(CompareLocalTime, IgnoresTheWeekdayAndOrdersByMilliseconds) {
    SLocalTime a = At(2026, 12, 7, 10, 0, 0, 1);
    SLocalTime b = a;
    b.wDayOfWeek = 3;
    EXPECT_EQ(0, CompareLocalTime(a, b));
    b.wMilliseconds = 2;
    EXPECT_EQ(-1, CompareLocalTime(a, b));
    EXPECT_EQ(1, CompareLocalTime(b, a));
}

TEST(CompareLocalTime, TheFirstDifferingFieldDecides) {
    EXPECT_EQ(-1, CompareLocalTime(At(2026, 12, 31, 23, 59, 59, 999), At(2027, 1, 1, 0, 0)));
    EXPECT_EQ(1, CompareLocalTime(At(2026, 2, 1, 0, 0), At(2026, 1, 31, 23, 59)));
    EXPECT_EQ(-1, CompareLocalTime(At(2026, 1, 1, 9, 59, 59), At(2026, 1, 1, 10, 0, 0)));
}
