#include "support/date_time.h"

#include <gtest/gtest.h>

#include <vector>

namespace tavro {
namespace {

void ExpectCivil(const CivilDateTime& actual, const CivilDateTime& expected) {
  EXPECT_EQ(actual.year, expected.year);
  EXPECT_EQ(actual.month, expected.month);
  EXPECT_EQ(actual.day, expected.day);
  EXPECT_EQ(actual.hour, expected.hour);
  EXPECT_EQ(actual.minute, expected.minute);
  EXPECT_EQ(actual.second, expected.second);
  EXPECT_EQ(actual.millisecond, expected.millisecond);
}

TEST(DateTime, CivilRoundTrips) {
  const std::vector<CivilDateTime> dates = {
      {1899, 12, 30, 0, 0, 0, 0},      {1899, 12, 29, 23, 59, 59, 999}, {1900, 2, 28, 12, 0, 0, 0},
      {1900, 3, 1, 0, 0, 0, 0},        {2000, 2, 29, 6, 30, 0, 0},      {2024, 2, 29, 23, 59, 59, 999},
      {2026, 12, 7, 10, 5, 30, 250},   {2026, 12, 31, 23, 5, 0, 0},     {2100, 3, 1, 0, 0, 1, 0},
      {9999, 12, 31, 23, 59, 59, 999},
  };
  for (const CivilDateTime& date : dates) {
    SCOPED_TRACE(testing::Message() << date.year << "-" << date.month << "-" << date.day);
    ExpectCivil(ToCivil(MakeDateTime(date)), date);
  }
}

TEST(DateTime, DayAfterTheEndOfFebruary) {
  struct Case {
    int year, nextMonth, nextDay;
  };
  // 1900 and 2100 are not leap years, 2000 and 2024 are.
  for (const Case& c :
       std::vector<Case>{{1900, 3, 1}, {2000, 2, 29}, {2024, 2, 29}, {2026, 3, 1}, {2100, 3, 1}}) {
    SCOPED_TRACE(c.year);
    const CivilDateTime next = ToCivil(AddDays(MakeDateTime(c.year, 2, 28), 1));
    EXPECT_EQ(next.month, c.nextMonth);
    EXPECT_EQ(next.day, c.nextDay);
    EXPECT_EQ(DaysInMonth(c.year, 2), c.nextMonth == 2 ? 29 : 28);
    EXPECT_EQ(IsLeapYear(c.year), c.nextMonth == 2);
  }
}

TEST(DateTime, AddMonthsKeepsTheDayWithinTheTargetMonth) {
  struct Case {
    DateTime start;
    int months;
    DateTime expected;
  };
  const std::vector<Case> cases = {
      {MakeDateTime(2026, 1, 31, 8, 15), 1, MakeDateTime(2026, 2, 28, 8, 15)},
      {MakeDateTime(2024, 1, 31, 8, 15), 1, MakeDateTime(2024, 2, 29, 8, 15)},
      {MakeDateTime(2026, 3, 31), -1, MakeDateTime(2026, 2, 28)},
      {MakeDateTime(2026, 5, 31, 23, 59, 59), 1, MakeDateTime(2026, 6, 30, 23, 59, 59)},
      {MakeDateTime(2026, 11, 15, 10), 2, MakeDateTime(2027, 1, 15, 10)},
      {MakeDateTime(2027, 1, 15), -1, MakeDateTime(2026, 12, 15)},
      {MakeDateTime(2026, 12, 7), -24, MakeDateTime(2024, 12, 7)},
      {MakeDateTime(2026, 12, 7), 0, MakeDateTime(2026, 12, 7)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start.ms << " + " << c.months);
    EXPECT_EQ(AddMonths(c.start, c.months), c.expected);
  }
}

TEST(DateTime, AddMinutesHoursDaysBothWays) {
  const DateTime start = MakeDateTime(2026, 12, 7, 0, 5);
  EXPECT_EQ(AddMinutes(start, -10), MakeDateTime(2026, 12, 6, 23, 55));
  EXPECT_EQ(AddMinutes(start, 1440), MakeDateTime(2026, 12, 8, 0, 5));
  EXPECT_EQ(AddHours(start, -1), MakeDateTime(2026, 12, 6, 23, 5));
  EXPECT_EQ(AddHours(start, 24 * 25), MakeDateTime(2027, 1, 1, 0, 5));
  EXPECT_EQ(AddDays(start, -7), MakeDateTime(2026, 11, 30, 0, 5));
}

TEST(DateTime, StartOfDayAndMonth) {
  EXPECT_EQ(StartOfDay(MakeDateTime(2026, 12, 7, 23, 59, 59, 999)), MakeDateTime(2026, 12, 7));
  EXPECT_EQ(StartOfDay(MakeDateTime(1899, 12, 29, 18)), MakeDateTime(1899, 12, 29));
  EXPECT_EQ(StartOfMonth(MakeDateTime(2026, 12, 7, 10, 5)), MakeDateTime(2026, 12, 1));
  EXPECT_EQ(StartOfMonth(MakeDateTime(2024, 2, 29, 23)), MakeDateTime(2024, 2, 1));
  EXPECT_EQ(StartOfMonth(MakeDateTime(2026, 1, 1)), MakeDateTime(2026, 1, 1));
}

TEST(DateTime, DayOfWeekRunsFromMondayToSunday) {
  struct Case {
    DateTime date;
    int expected;
  };
  const std::vector<Case> cases = {
      {MakeDateTime(2026, 12, 7, 23, 59), 1},  // Monday
      {MakeDateTime(2026, 12, 8), 2},         {MakeDateTime(2026, 12, 12), 6},
      {MakeDateTime(2026, 11, 1, 12), 7},  // Sunday
      {MakeDateTime(1899, 12, 30), 6},        {MakeDateTime(1899, 12, 29), 5},
      {MakeDateTime(2024, 2, 29), 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.date.ms);
    EXPECT_EQ(DayOfWeek(c.date), c.expected);
  }
}

TEST(DateTime, PositionsWithinDayHourAndMonth) {
  const DateTime t = MakeDateTime(2026, 12, 7, 10, 5, 30, 500);
  EXPECT_EQ(MinuteOfDay(t), 605);
  EXPECT_EQ(MinuteOfMonth(t), (6 * 24 + 10) * 60 + 5);
  EXPECT_EQ(SecondOfDay(t), 10 * 3600 + 5 * 60 + 30);
  EXPECT_EQ(SecondOfHour(t), 330);
  EXPECT_DOUBLE_EQ(MinutesSinceMidnight(t), 605.0 + 30.5 / 60);

  const DateTime first = MakeDateTime(2026, 12, 1);
  EXPECT_EQ(MinuteOfDay(first), 0);
  EXPECT_EQ(MinuteOfMonth(first), 0);
  EXPECT_EQ(SecondOfHour(MakeDateTime(2026, 12, 1, 23, 59, 59)), 3599);
  EXPECT_EQ(MinuteOfMonth(MakeDateTime(2026, 12, 31, 23, 59)), 31 * 1440 - 1);
}

TEST(DateTime, DayCountConversions) {
  struct Case {
    double days;
    DateTime value;
  };
  const std::vector<Case> cases = {
      {0.0, MakeDateTime(1899, 12, 30)},
      {1.0, MakeDateTime(1899, 12, 31)},
      {46363.25, MakeDateTime(2026, 12, 7, 6)},
      {46363.0 + 605.0 / 1440, MakeDateTime(2026, 12, 7, 10, 5)},
      {2958465.0, NeverDate},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.days);
    EXPECT_EQ(FromDayCount(c.days), c.value);
    EXPECT_DOUBLE_EQ(ToDayCount(c.value), c.days);
  }
  // Whole milliseconds survive the trip through the double that historians exchange.
  for (const DateTime t :
       {MakeDateTime(2026, 12, 7, 10, 5, 30, 123), MakeDateTime(9999, 12, 31, 23, 59, 59, 999)}) {
    EXPECT_EQ(FromDayCount(ToDayCount(t)), t);
  }
}

}  // namespace
}  // namespace tavro
