#pragma once
// The report calendar: day-of-month, month and day-of-week patterns of lists, ranges and steps.

#include <string>

#include "support/date_time.h"

namespace tavro {

// value: the number to test; last: what the item "-1" stands for.
bool FieldMatches(const std::string& pattern, int value, int last);
bool CalendarMatches(const std::string& day, const std::string& month, const std::string& dayofweek,
                     DateTime date);

}  // namespace tavro
