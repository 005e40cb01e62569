// Reports that never run, or not when their author thinks: a calendar item the grammar does not
// take silently matches nothing, and so does everything written after it.

#include <algorithm>
#include <array>
#include <string_view>

#include "config/job_sections.h"
#include "jobs/report_calendar.h"
#include "support/date_time_text.h"
#include "findings/findings.h"

namespace tavro {
namespace {

constexpr const char* kGrammar = "\"*\", lists 1,3, ranges 1-5, steps */2 or 1-5/2";
constexpr const char* kNeverRuns = "next run: never in the coming year";

struct CalendarField {
  const char* key;
  std::string TRepUkol::*pattern;
  const char* values;             // what the field's numbers mean
  // The date comes with its civil form, worked out once for the whole check.
  int (*value)(DateTime date, const CivilDateTime& civil);  // the number of a date the field tests
  int (*last)(const CivilDateTime& civil);                  // what "-1" stands for
};

const std::array<CalendarField, 3> kCalendarFields{{
    {"day", &TRepUkol::day, "days of the month 1 to 31, -1 the last one",
     [](DateTime, const CivilDateTime& civil) { return civil.day; },
     [](const CivilDateTime& civil) { return DaysInMonth(civil.year, civil.month); }},
    {"month", &TRepUkol::month, "months 1 to 12", [](DateTime, const CivilDateTime& civil) { return civil.month; },
     [](const CivilDateTime&) { return -1; }},
    {"dayofweek", &TRepUkol::dayofweek, "days of the week 1 Monday to 7 Sunday",
     [](DateTime date, const CivilDateTime&) { return DayOfWeek(date); }, [](const CivilDateTime&) { return -1; }},
}};

// The items of a pattern as the calendar walks them: an empty rest ends the list.
std::vector<std::string> Items(const std::string& pattern) {
  std::vector<std::string> items;
  std::string_view rest = pattern;
  while (!rest.empty()) {
    const std::size_t comma = rest.find(',');
    items.emplace_back(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
  }
  return items;
}

struct Day {
  DateTime date;
  CivilDateTime civil;
};

// The days from `first` to `last`, on whose numbers every item of every report is tried.
std::vector<Day> DaysBetween(DateTime first, DateTime last) {
  std::vector<Day> days;
  for (DateTime date = StartOfDay(first); date <= last; date = AddDays(date, 1)) days.push_back({date, ToCivil(date)});
  return days;
}

// What a field sees of those days: each (number, "-1") pair once, in the order the days bring them.
// A year has twelve months and seven days of the week, and every report's items are tried on them.
struct FieldValue {
  int value;
  int last;
  bool operator==(const FieldValue&) const = default;
};
std::vector<FieldValue> ValuesOver(const CalendarField& field, const std::vector<Day>& days) {
  std::vector<FieldValue> values;
  for (const Day& day : days) {
    const FieldValue value{field.value(day.date, day.civil), field.last(day.civil)};
    if (std::find(values.begin(), values.end(), value) == values.end()) values.push_back(value);
  }
  return values;
}

bool MatchesAny(const std::string& item, const std::vector<FieldValue>& values) {
  return std::any_of(values.begin(), values.end(),
                     [&item](const FieldValue& v) { return FieldMatches(item, v.value, v.last); });
}

// An item the grammar does not take ends the field's evaluation; one it takes lets a later "*" match.
bool Understood(const std::string& item) { return FieldMatches(item + ",*", 0, -1); }

std::string NextRun(const TRepUkol& report, DateTime now, DateTime last) {
  const std::optional<DateTime> run = NextReportRun(report, now, last);
  return run ? "next run: " + FormatDateTime("yyyy-mm-dd hh:nn", *run) : kNeverRuns;
}

}  // namespace

void FindCalendarProblems(const CheckedFile& file, Findings& findings) {
  const DateTime last = AddMonths(file.now, 12);
  const std::vector<TRepUkol>& reports = file.state.Reports.Items;
  const std::vector<Day> days = DaysBetween(file.now, last);
  std::array<std::vector<FieldValue>, kCalendarFields.size()> valuesOf;
  for (std::size_t f = 0; f < kCalendarFields.size(); ++f) valuesOf[f] = ValuesOver(kCalendarFields[f], days);
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const TRepUkol& report = reports[i];
    const std::string section = JobSectionName("report_", i);
    const std::string next = NextRun(report, file.now, last);
    bool itemFound = false;
    for (std::size_t f = 0; f < kCalendarFields.size(); ++f) {
      const CalendarField& field = kCalendarFields[f];
      const std::string& pattern = report.*field.pattern;
      if (pattern == "*") continue;
      for (const std::string& item : Items(pattern)) {
        if (MatchesAny(item, valuesOf[f])) continue;
        const std::string named = item == pattern ? "\"" + item + "\"" : "item \"" + item + "\" of \"" + pattern + "\"";
        const std::string what = Understood(item) ? named + " matches no day in the coming year"
                                                  : named + " is not understood and ends the field's matching";
        findings.push_back({section, field.key,
                            what + " (expected " + field.values + ": " + kGrammar + "); " + next});
        itemFound = true;
      }
    }
    if (!itemFound && next == kNeverRuns) {
      findings.push_back({section, std::nullopt,
                          "day=" + report.day + " month=" + report.month + " dayofweek=" + report.dayofweek +
                              " together match no day; " + next});
    }
    if (report.template_.empty()) findings.push_back({section, "template", "empty; the report never runs"});
  }
}

}  // namespace tavro
