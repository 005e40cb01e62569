#include "jobs/report_calendar.h"

#include <cstdint>
#include <optional>
#include <string_view>

#include "support/text.h"

namespace tavro {
namespace {

// Widened so that no value and step can overflow the remainder.
bool IsMultiple(int value, int step) { return std::int64_t{value} % step == 0; }

enum class ItemResult { kMatch, kNoMatch, kMalformed };

ItemResult MatchItem(std::string_view item, int value, int last) {
  if (item == "*") return ItemResult::kMatch;
  int step = 1;
  if (const std::size_t slash = item.find('/'); slash != std::string_view::npos) {
    const std::optional<int> parsed = ParseDecimal(item.substr(slash + 1));
    if (!parsed) return ItemResult::kMalformed;
    step = *parsed;
    item = item.substr(0, slash);
  }
  // A step of 0 has no multiples to offer: where the step counts ("*" and ranges) it is as malformed
  // as one that does not convert; a single number and "-1" ignore their step.
  bool matched = false;
  if (item == "*") {
    if (step == 0) return ItemResult::kMalformed;
    matched = IsMultiple(value, step);
  } else if (item == "-1") {
    matched = value == last;
  } else if (const std::size_t dash = item.find('-'); dash != std::string_view::npos) {
    const std::optional<int> low = ParseDecimal(item.substr(0, dash));
    const std::optional<int> high = ParseDecimal(item.substr(dash + 1));
    if (!low || !high || step == 0) return ItemResult::kMalformed;
    // The step applies to the value itself, not to its distance from the lower bound.
    matched = IsMultiple(value, step) && *low <= value && value <= *high;
  } else {
    const std::optional<int> number = ParseDecimal(item);
    if (!number) return ItemResult::kMalformed;
    matched = value == *number;
  }
  return matched ? ItemResult::kMatch : ItemResult::kNoMatch;
}

}  // namespace

bool FieldMatches(const std::string& pattern, int value, int last) {
  if (pattern == "*") return true;
  std::string_view rest = pattern;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    const std::string_view item = rest.substr(0, comma);
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    // A malformed item ends the evaluation: the items after it are never looked at.
    switch (MatchItem(item, value, last)) {
      case ItemResult::kMatch:
        return true;
      case ItemResult::kMalformed:
        return false;
      case ItemResult::kNoMatch:
        break;
    }
  }
  return false;
}

bool CalendarMatches(const std::string& day, const std::string& month, const std::string& dayofweek,
                     DateTime date) {
  const CivilDateTime civil = ToCivil(date);
  // "-1" stands for the month's last day; in the month and the day of the week it matches nothing.
  return FieldMatches(month, civil.month, -1) && FieldMatches(dayofweek, DayOfWeek(date), -1) &&
         FieldMatches(day, civil.day, DaysInMonth(civil.year, civil.month));
}

std::optional<DateTime> NextCalendarDay(const std::string& day, const std::string& month,
                                        const std::string& dayofweek, DateTime from, DateTime last) {
  for (DateTime date = StartOfDay(from); date <= last;) {
    const CivilDateTime civil = ToCivil(date);
    // A month the pattern leaves out is passed over whole: a report of one month a year would
    // otherwise be tried on every day before it.
    if (!FieldMatches(month, civil.month, -1)) {
      date = MakeDateTime(civil.month == 12 ? civil.year + 1 : civil.year, civil.month % 12 + 1, 1);
      continue;
    }
    if (CalendarMatches(day, month, dayofweek, date)) return date;
    date = AddDays(date, 1);
  }
  return std::nullopt;
}

std::optional<DateTime> NextReportRun(const TRepUkol& report, DateTime now, DateTime last) {
  DateTime from = now;
  while (const std::optional<DateTime> day = NextCalendarDay(report.day, report.month, report.dayofweek, from, last)) {
    const DateTime run = AddMinutes(*day, report.HourValue * 60 + report.MinuteValue);
    if (run > last) break;
    if (AddMinutes(run, 1) > now) return run;
    from = AddDays(*day, 1);
  }
  return std::nullopt;
}

}  // namespace tavro
