#include <windows.h>

#include <cstdint>
#include <cstdio>

#include "support/date_time_text.h"

namespace tavro {
namespace {

std::string LocaleText(LCTYPE item, const char* fallback) {
  char buffer[16] = {};
  if (GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, sizeof buffer) <= 1) return fallback;
  return buffer;
}

// A reading writes thousands of entries within a second, mostly with the same few date-times, and
// each regional lookup goes to the locale tables anew. What was looked up is kept for the rest of
// the second of the system's clock: a change of the regional settings shows from the next second.
std::uint64_t CurrentSecond() { return GetTickCount64() / 1000; }

SYSTEMTIME ToSystemTime(DateTime value) {
  const CivilDateTime c = ToCivil(value);
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(c.year);
  st.wMonth = static_cast<WORD>(c.month);
  st.wDay = static_cast<WORD>(c.day);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(value) % 7);
  st.wHour = static_cast<WORD>(c.hour);
  st.wMinute = static_cast<WORD>(c.minute);
  st.wSecond = static_cast<WORD>(c.second);
  return st;
}

std::string RegionalDateTimeText(DateTime value) {
  const SYSTEMTIME st = ToSystemTime(value);
  char date[128] = {};
  if (GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date) == 0) {
    return IsoDateTimeText(value);
  }
  if (SecondOfDay(value) == 0) return date;
  char time[128] = {};
  GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
  return std::string(date) + " " + time;
}

}  // namespace

char TimeSeparator() {
  thread_local std::uint64_t second = ~std::uint64_t{0};
  thread_local char separator = ':';
  if (const std::uint64_t now = CurrentSecond(); now != second) {
    separator = LocaleText(LOCALE_STIME, ":")[0];
    second = now;
  }
  return separator;
}

std::string DateTimeText(DateTime value) {
  thread_local std::uint64_t second = ~std::uint64_t{0};
  thread_local std::int64_t lastValue = 0;
  thread_local std::string lastText;
  const std::uint64_t now = CurrentSecond();
  if (now != second || value.ms != lastValue) {
    lastText = RegionalDateTimeText(value);
    lastValue = value.ms;
    second = now;
  }
  return lastText;
}

std::string NumberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  std::string text = buffer;
  const std::string separator = LocaleText(LOCALE_SDECIMAL, ".");
  if (const std::size_t dot = text.find('.'); dot != std::string::npos) text.replace(dot, 1, separator);
  return text;
}

}  // namespace tavro
