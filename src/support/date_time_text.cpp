#include "support/date_time_text.h"

#include <cstdio>

namespace tavro {
namespace {

void AppendNumber(std::string& out, int value, int digits) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%0*d", digits, value);
  out += buffer;
}

}  // namespace

std::string FormatDateTime(const std::string& pattern, DateTime value) {
  const CivilDateTime c = ToCivil(value);
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const char ch = pattern[i];
    if (ch == '"') {
      const std::size_t close = pattern.find('"', i + 1);
      const std::size_t end = close == std::string::npos ? pattern.size() : close;
      out.append(pattern, i + 1, end - i - 1);
      i = end + 1;
    } else if (pattern.compare(i, 4, "yyyy") == 0) {
      AppendNumber(out, c.year, 4);
      i += 4;
    } else if (pattern.compare(i, 2, "dd") == 0) {
      AppendNumber(out, c.day, 2);
      i += 2;
    } else if (pattern.compare(i, 2, "mm") == 0) {
      AppendNumber(out, c.month, 2);
      i += 2;
    } else if (pattern.compare(i, 2, "hh") == 0) {
      AppendNumber(out, c.hour, 2);
      i += 2;
    } else if (pattern.compare(i, 2, "nn") == 0) {
      AppendNumber(out, c.minute, 2);
      i += 2;
    } else if (pattern.compare(i, 2, "ss") == 0) {
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
  const std::string separator(1, TimeSeparator());
  return FormatDateTime("yyyy.mm.dd hh\"" + separator + "\"nn\"" + separator + "\"ss", value);
}

}  // namespace tavro
