#include "support/date_time_text.h"

#include <algorithm>


namespace tavro {
namespace {

// The digits of `value`, zero-padded to `digits` characters (a minus sign counting as one), as
// "%0*d" writes them; written by hand because dates are formatted millions of times in a preview.
void AppendNumber(std::string& out, int value, int digits) {
  // Filled from the end: sign, padding and digits in one append.
  char text[24];
  char* const end = text + sizeof text;
  char* first = end;
  unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  const int width = std::min(digits, 20) - (value < 0 ? 1 : 0);
  while (end - first < width) *--first = '0';
  if (value < 0) *--first = '-';
  out.append(first, static_cast<std::size_t>(end - first));
}

// dd.mm.yyyy+hh?nn: the command lines' patterns, which are formatted for every launch.
std::string SlotText(DateTime value, char hourSeparator) {
  const CivilDateTime c = ToCivil(value);
  std::string text;
  text.reserve(16);
  AppendNumber(text, c.day, 2);
  text += '.';
  AppendNumber(text, c.month, 2);
  text += '.';
  AppendNumber(text, c.year, 4);
  text += '+';
  AppendNumber(text, c.hour, 2);
  text += hourSeparator;
  AppendNumber(text, c.minute, 2);
  return text;
}

}  // namespace

std::string FormatDateTime(std::string_view pattern, DateTime value) {
  if (pattern == kPumpTimePattern) return SlotText(value, ':');
  if (pattern == kTaskTimePattern) return SlotText(value, '.');
  const CivilDateTime c = ToCivil(value);
  std::string out;
  out.reserve(pattern.size() + 4);
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
  return out;
}

std::string LogStamp(DateTime value) {
  // Entries come in bursts within one second (a reading writes hundreds): the last stamp is kept.
  thread_local std::int64_t lastSecond = -1;
  thread_local char lastSeparator = 0;
  thread_local std::string last;
  const std::int64_t second = value.ms / kMsPerSecond - (value.ms % kMsPerSecond < 0 ? 1 : 0);
  const char separator = TimeSeparator();
  if (second == lastSecond && separator == lastSeparator) return last;
  const CivilDateTime c = ToCivil(value);
  std::string stamp;
  stamp.reserve(19);
  AppendNumber(stamp, c.year, 4);
  stamp += '.';
  AppendNumber(stamp, c.month, 2);
  stamp += '.';
  AppendNumber(stamp, c.day, 2);
  stamp += ' ';
  AppendNumber(stamp, c.hour, 2);
  stamp += separator;
  AppendNumber(stamp, c.minute, 2);
  stamp += separator;
  AppendNumber(stamp, c.second, 2);
  lastSecond = second;
  lastSeparator = separator;
  last = stamp;
  return stamp;
}

std::string IsoDateTimeText(DateTime value, bool withTime) {
  const CivilDateTime c = ToCivil(value);
  std::string text;
  text.reserve(19);
  AppendNumber(text, c.year, 4);
  text += '-';
  AppendNumber(text, c.month, 2);
  text += '-';
  AppendNumber(text, c.day, 2);
  if (!withTime) return text;
  text += ' ';
  AppendNumber(text, c.hour, 2);
  text += ':';
  AppendNumber(text, c.minute, 2);
  text += ':';
  AppendNumber(text, c.second, 2);
  return text;
}

}  // namespace tavro

namespace tavro {

// Always "." as the separator: the same entry on every system, whatever its regional setting.
std::string SecondsText(std::int64_t milliseconds) {
  const std::int64_t tenths = (milliseconds + 50) / 100;
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10);
}

std::optional<DateTime> ParseIsoDateTime(const std::string& text) {
  constexpr std::string_view kShape = "dddd-dd-dd dd:dd:dd";
  if (text.size() != kShape.size()) return std::nullopt;
  for (std::size_t i = 0; i < kShape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kShape[i] == 'd' ? !digit : text[i] != kShape[i]) return std::nullopt;
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

}  // namespace tavro
