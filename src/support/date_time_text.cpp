#include "support/date_time_text.h"

#include <algorithm>
#include <cstdio>

namespace tavro {
namespace {

// The digits of `value`, zero-padded to `digits` characters (a minus sign counting as one), as
// "%0*d" writes them, put at `at`; returns the end. Written by hand, and a date's text is appended
// in one piece, because dates are formatted millions of times in a preview.
char* PutNumber(char* at, int value, int digits) {
  if (digits == 2 && value >= 0 && value < 100) {
    at[0] = static_cast<char>('0' + value / 10);
    at[1] = static_cast<char>('0' + value % 10);
    return at + 2;
  }
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  int length = 1;
  for (unsigned rest = magnitude; rest >= 10; rest /= 10) ++length;
  if (value < 0) *at++ = '-';
  for (int padding = std::min(digits, 20) - (value < 0 ? 1 : 0) - length; padding > 0; --padding) *at++ = '0';
  char* const end = at + length;
  for (char* digit = end; digit != at; magnitude /= 10) *--digit = static_cast<char>('0' + magnitude % 10);
  return end;
}

void AppendNumber(std::string& out, int value, int digits) {
  char text[24];
  out.append(text, static_cast<std::size_t>(PutNumber(text, value, digits) - text));
}

// Room for a date-time text of any year an int holds.
constexpr std::size_t kDateTimeRoom = 64;

// yyyy?mm?dd[ hh?nn?ss]: the log stamp's and the ISO form.
std::string YearFirstText(DateTime value, char dateSeparator, char timeSeparator, bool withTime) {
  const CivilDateTime c = ToCivil(value);
  char text[kDateTimeRoom];
  char* at = PutNumber(text, c.year, 4);
  *at++ = dateSeparator;
  at = PutNumber(at, c.month, 2);
  *at++ = dateSeparator;
  at = PutNumber(at, c.day, 2);
  if (withTime) {
    const int second = SecondOfDay(value);
    *at++ = ' ';
    at = PutNumber(at, second / 3600, 2);
    *at++ = timeSeparator;
    at = PutNumber(at, second / 60 % 60, 2);
    *at++ = timeSeparator;
    at = PutNumber(at, second % 60, 2);
  }
  return std::string(text, at);
}

// dd.mm.yyyy+hh?nn: the command lines' patterns, which are formatted for every launch.
void AppendSlotText(std::string& out, DateTime value, char hourSeparator) {
  const CivilDateTime c = ToCivil(value);
  char date[kDateTimeRoom];
  char* at = PutNumber(date, c.day, 2);
  *at++ = '.';
  at = PutNumber(at, c.month, 2);
  *at++ = '.';
  at = PutNumber(at, c.year, 4);
  *at++ = '+';
  out.append(date, at);
  const int minuteOfDay = MinuteOfDay(value);
  char time[5] = {static_cast<char>('0' + minuteOfDay / 600), static_cast<char>('0' + minuteOfDay / 60 % 10),
                  hourSeparator, static_cast<char>('0' + minuteOfDay % 60 / 10),
                  static_cast<char>('0' + minuteOfDay % 10)};
  out.append(time, sizeof time);
}

}  // namespace

void AppendDateTime(std::string& out, std::string_view pattern, DateTime value) {
  if (pattern == kPumpTimePattern) return AppendSlotText(out, value, ':');
  if (pattern == kTaskTimePattern) return AppendSlotText(out, value, '.');
  const CivilDateTime c = ToCivil(value);
  for (std::size_t i = 0; i < pattern.size();) {
    const char ch = pattern[i];
    const std::string_view rest = pattern.substr(i);
    if (ch == '"') {
      const std::size_t close = pattern.find('"', i + 1);
      const std::size_t end = close == std::string_view::npos ? pattern.size() : close;
      out.append(pattern, i + 1, end - i - 1);
      i = end + 1;
    } else if (rest.substr(0, 4) == "yyyy") {
      AppendNumber(out, c.year, 4);
      i += 4;
    } else if (rest.substr(0, 2) == "dd") {
      AppendNumber(out, c.day, 2);
      i += 2;
    } else if (rest.substr(0, 2) == "mm") {
      AppendNumber(out, c.month, 2);
      i += 2;
    } else if (rest.substr(0, 2) == "hh") {
      AppendNumber(out, c.hour, 2);
      i += 2;
    } else if (rest.substr(0, 2) == "nn") {
      AppendNumber(out, c.minute, 2);
      i += 2;
    } else if (rest.substr(0, 2) == "ss") {
      AppendNumber(out, c.second, 2);
      i += 2;
    } else {
      out += ch;
      ++i;
    }
  }
}

std::string FormatDateTime(std::string_view pattern, DateTime value) {
  std::string out;
  out.reserve(pattern.size() + 4);
  AppendDateTime(out, pattern, value);
  return out;
}

void AppendDecimal(std::string& out, int value) {
  if (value < 0 || value >= 1000) return AppendNumber(out, value, 1);
  // Job numbers and interval lengths, millions of them in a preview: a few digits put straight in.
  if (value >= 100) out += static_cast<char>('0' + value / 100);
  if (value >= 10) out += static_cast<char>('0' + value / 10 % 10);
  out += static_cast<char>('0' + value % 10);
}

const std::string& LogStamp(DateTime value) {
  // Entries come in bursts within one second (a reading writes hundreds): the last stamp is kept.
  thread_local std::int64_t lastSecond = -1;
  thread_local char lastSeparator = 0;
  thread_local std::string last;
  const std::int64_t second = value.ms / kMsPerSecond - (value.ms % kMsPerSecond < 0 ? 1 : 0);
  const char separator = TimeSeparator();
  if (second != lastSecond || separator != lastSeparator) {
    last = YearFirstText(value, '.', separator, true);
    lastSecond = second;
    lastSeparator = separator;
  }
  return last;
}

std::string IsoDateTimeText(DateTime value, bool withTime) { return YearFirstText(value, '-', ':', withTime); }

}  // namespace tavro

namespace tavro {

// Always "." as the separator: the same entry on every system, whatever its regional setting.
std::string SecondsText(std::int64_t milliseconds) {
  const std::int64_t tenths = (milliseconds + 50) / 100;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

namespace {

// The date and time of "YYYY-MM-DD?HH:MM:SS", `between` the character between them.
std::optional<DateTime> ParseDateAndTime(std::string_view text, char between) {
  constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
  if (text.size() != kShape.size() || text[10] != between) return std::nullopt;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : i != 10 && text[i] != kShape[i]) return std::nullopt;
  }
  const auto number = [&text](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  CivilDateTime c;
  c.year = number(0, 4);
  c.month = number(5, 2);
  c.day = number(8, 2);
  c.hour = number(11, 2);
  c.minute = number(14, 2);
  c.second = number(17, 2);
  if (c.year < 1900 || c.month < 1 || c.month > 12 || c.day < 1 || c.day > DaysInMonth(c.year, c.month) ||
      c.hour > 23 || c.minute > 59 || c.second > 59) {
    return std::nullopt;
  }
  return MakeDateTime(c);
}

}  // namespace

std::optional<DateTime> ParseIsoDateTime(const std::string& text) { return ParseDateAndTime(text, ' '); }

std::string ZonedTimeText(const ZonedTime& value) {
  std::string text = IsoDateTimeText(value.local);
  text[10] = 'T';
  const int offset = value.offsetMinutes < 0 ? -value.offsetMinutes : value.offsetMinutes;
  char zone[8];
  std::snprintf(zone, sizeof zone, "%c%02d:%02d", value.offsetMinutes < 0 ? '-' : '+', offset / 60 % 100, offset % 60);
  return text + zone;
}

std::optional<ZonedTime> ParseZonedTime(std::string_view text) {
  if (text.size() != 25) return std::nullopt;
  const std::optional<DateTime> local = ParseDateAndTime(text.substr(0, 19), 'T');
  const std::string_view zone = text.substr(19);
  const auto digit = [&zone](std::size_t i) { return zone[i] >= '0' && zone[i] <= '9' ? zone[i] - '0' : -100; };
  if (!local || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':') return std::nullopt;
  const int hours = digit(1) * 10 + digit(2), minutes = digit(4) * 10 + digit(5);
  if (hours < 0 || hours > 18 || minutes < 0 || minutes > 59) return std::nullopt;
  return ZonedTime{*local, (zone[0] == '-' ? -1 : 1) * (hours * 60 + minutes)};
}

}  // namespace tavro
