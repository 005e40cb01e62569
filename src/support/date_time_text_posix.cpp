#include <cstdio>

#include "support/date_time_text.h"

namespace tavro {

char TimeSeparator() { return ':'; }

std::string DateTimeText(DateTime value) {
  if (SecondOfDay(value) == 0) return FormatDateTime("yyyy-mm-dd", value);
  return FormatDateTime("yyyy-mm-dd hh:nn:ss", value);
}

std::string NumberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

}  // namespace tavro
