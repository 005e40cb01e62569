#pragma once
// The report calendar: day-of-month, month and day-of-week patterns of lists, ranges and steps.

#include <optional>
#include <string>

#include "jobs/job_records.h"
#include "support/date_time.h"

namespace tavro {

// value: the number to test; last: what the item "-1" stands for.
bool FieldMatches(const std::string& pattern, int value, int last);
bool CalendarMatches(const std::string& day, const std::string& month, const std::string& dayofweek,
                     DateTime date);
// The first midnight from StartOfDay(from) up to `last` whose date the calendar matches.
std::optional<DateTime> NextCalendarDay(const std::string& day, const std::string& month,
                                        const std::string& dayofweek, DateTime from, DateTime last);


// The report's first run from `now` on, at most `last`: a matching day at its hour and minute, at
// the latest within the minute of `now` (the ticks of that minute still launch it).
std::optional<DateTime> NextReportRun(const TRepUkol& report, DateTime now, DateTime last);

}  // namespace tavro
