#pragma once
// Local wall-clock date-time, held exactly as whole milliseconds since 30 December 1899, midnight.
// The day-count double of the historian interfaces is only a conversion of it, so that due tests
// (strictly earlier) never depend on floating-point rounding.

#include <compare>
#include <cstdint>

namespace tavro {

struct DateTime {
  std::int64_t ms = 0;  // 0 in a job record means "not set yet"
  friend constexpr auto operator<=>(DateTime, DateTime) = default;
};

constexpr std::int64_t kMsPerSecond = 1000;
constexpr std::int64_t kMsPerMinute = 60 * kMsPerSecond;
constexpr std::int64_t kMsPerHour = 60 * kMsPerMinute;
constexpr std::int64_t kMsPerDay = 24 * kMsPerHour;

struct CivilDateTime {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// Days from 30 December 1899 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day);
DateTime MakeDateTime(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                      int millisecond = 0);
DateTime MakeDateTime(const CivilDateTime& civil);
CivilDateTime ToCivil(DateTime value);

// Marks a batch that never falls due: 31 December 9999, midnight.
extern const DateTime NeverDate;

inline bool IsSet(DateTime value) { return value.ms != 0; }

double ToDayCount(DateTime value);
DateTime FromDayCount(double days);

// n may be negative everywhere.
DateTime AddMinutes(DateTime value, std::int64_t minutes);
DateTime AddHours(DateTime value, std::int64_t hours);
DateTime AddDays(DateTime value, std::int64_t days);
// Same day and time of day n calendar months later, the day limited to the last day of that month.
DateTime AddMonths(DateTime value, int months);

DateTime StartOfDay(DateTime value);
DateTime StartOfMonth(DateTime value);

bool IsLeapYear(int year);
int DaysInMonth(int year, int month);
int DayOfWeek(DateTime value);  // 1 Monday ... 7 Sunday
int MinuteOfDay(DateTime value);    // hour * 60 + minute, seconds ignored
int MinuteOfMonth(DateTime value);  // ((day - 1) * 24 + hour) * 60 + minute
int SecondOfDay(DateTime value);
int SecondOfHour(DateTime value);
// Minutes since midnight with the fraction of the current minute, as the task rules need it.
double MinutesSinceMidnight(DateTime value);

}  // namespace tavro
