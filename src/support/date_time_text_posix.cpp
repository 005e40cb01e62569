#include <cstdio>

#include "support/date_time_text.h"

namespace tavro {

char TimeSeparator() { return ':'; }

std::string DateTimeText(DateTime value) { return IsoDateTimeText(value, SecondOfDay(value) != 0); }

std::string NumberText(double value) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  return buffer;
}

}  // namespace tavro
