#include "support/date_time.h"

namespace tavro {
namespace {

// 1970-01-01 counted from 1899-12-30.
constexpr std::int64_t kUnixEpochDay = 25569;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return q;
}

std::int64_t DayNumber(DateTime value) { return FloorDiv(value.ms, kMsPerDay); }
std::int64_t MsOfDay(DateTime value) { return value.ms - DayNumber(value) * kMsPerDay; }

// Civil date of a day number (H. Hinnant's algorithm, days counted from 1970-01-01).
void CivilFromDays(std::int64_t z, int& year, int& month, int& day) {
  z += 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

const DateTime NeverDate = MakeDateTime(9999, 12, 31);

std::int64_t DaysFromCivil(int year, int month, int day) {
  const std::int64_t y = year - (month <= 2 ? 1 : 0);
  const std::int64_t era = FloorDiv(y, 400);
  const std::int64_t yoe = y - era * 400;
  const std::int64_t mp = month > 2 ? month - 3 : month + 9;
  const std::int64_t doy = (153 * mp + 2) / 5 + day - 1;
  const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468 + kUnixEpochDay;
}

DateTime MakeDateTime(int year, int month, int day, int hour, int minute, int second, int millisecond) {
  return DateTime{DaysFromCivil(year, month, day) * kMsPerDay + hour * kMsPerHour + minute * kMsPerMinute +
                  second * kMsPerSecond + millisecond};
}

DateTime MakeDateTime(const CivilDateTime& c) {
  return MakeDateTime(c.year, c.month, c.day, c.hour, c.minute, c.second, c.millisecond);
}

CivilDateTime ToCivil(DateTime value) {
  CivilDateTime c;
  CivilFromDays(DayNumber(value) - kUnixEpochDay, c.year, c.month, c.day);
  std::int64_t ms = MsOfDay(value);
  c.hour = static_cast<int>(ms / kMsPerHour);
  c.minute = static_cast<int>(ms / kMsPerMinute % 60);
  c.second = static_cast<int>(ms / kMsPerSecond % 60);
  c.millisecond = static_cast<int>(ms % kMsPerSecond);
  return c;
}

double ToDayCount(DateTime value) { return static_cast<double>(value.ms) / static_cast<double>(kMsPerDay); }

DateTime FromDayCount(double days) {
  // Rounded half away from zero, as llround does, without the maths library an idle launcher
  // would otherwise keep mapped for this alone.
  const double ms = days * static_cast<double>(kMsPerDay);
  std::int64_t whole = static_cast<std::int64_t>(ms);
  const double fraction = ms - static_cast<double>(whole);
  if (fraction >= 0.5) ++whole;
  if (fraction <= -0.5) --whole;
  return DateTime{whole};
}

DateTime AddMinutes(DateTime value, std::int64_t minutes) { return DateTime{value.ms + minutes * kMsPerMinute}; }
DateTime AddHours(DateTime value, std::int64_t hours) { return DateTime{value.ms + hours * kMsPerHour}; }
DateTime AddDays(DateTime value, std::int64_t days) { return DateTime{value.ms + days * kMsPerDay}; }

DateTime AddMonths(DateTime value, int months) {
  CivilDateTime c = ToCivil(value);
  const std::int64_t monthIndex = static_cast<std::int64_t>(c.year) * 12 + (c.month - 1) + months;
  c.year = static_cast<int>(FloorDiv(monthIndex, 12));
  c.month = static_cast<int>(monthIndex - static_cast<std::int64_t>(c.year) * 12) + 1;
  if (c.day > DaysInMonth(c.year, c.month)) c.day = DaysInMonth(c.year, c.month);
  return MakeDateTime(c);
}

DateTime StartOfDay(DateTime value) { return DateTime{DayNumber(value) * kMsPerDay}; }

DateTime StartOfMonth(DateTime value) {
  const CivilDateTime c = ToCivil(value);
  return MakeDateTime(c.year, c.month, 1);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int DayOfWeek(DateTime value) {
  // Day 0, 30 December 1899, was a Saturday (6).
  return static_cast<int>((DayNumber(value) % 7 + 7 + 5) % 7) + 1;
}

int MinuteOfDay(DateTime value) { return static_cast<int>(MsOfDay(value) / kMsPerMinute); }

int MinuteOfMonth(DateTime value) {
  const CivilDateTime c = ToCivil(value);
  return ((c.day - 1) * 24 + c.hour) * 60 + c.minute;
}

int SecondOfDay(DateTime value) { return static_cast<int>(MsOfDay(value) / kMsPerSecond); }
int SecondOfHour(DateTime value) { return SecondOfDay(value) % 3600; }

double MinutesSinceMidnight(DateTime value) {
  return static_cast<double>(MsOfDay(value)) / static_cast<double>(kMsPerMinute);
}

}  // namespace tavro
