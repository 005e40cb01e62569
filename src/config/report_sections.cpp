#include <optional>

#include "config/job_sections.h"
#include "config/section_keys.h"
#include "jobs/report_calendar.h"
#include "support/text.h"

namespace tavro {
namespace {

// A calendar pattern: blanks around it do not count, and nothing written means every value.
std::string CalendarPattern(ReadingRun& run, const char* key, const std::string& written) {
  const std::string pattern = TrimBlanks(written);
  run.Debug([&] { return key + ("=" + pattern); }, false);
  return pattern.empty() ? "*" : pattern;
}

// The number that "minute" or "hour" stands for; the text itself stays as written.
std::int32_t ClockValue(ReadingRun& run, const std::string& section, const std::string& text, const char* name,
                        std::int32_t highest, std::int32_t replacement) {
  const std::optional<std::int32_t> value = ParseIniInteger(text);
  if (value && *value >= 0 && *value <= highest) return *value;
  // The entry's text is made only for a value it replaces: a preview reads every report hourly.
  run.log.Entry(section + (value ? " stupid " : " error in ") + name + ", set to " + LogText(replacement));
  return replacement;
}

void ReadReport(ReadingRun& run, const std::string& section, TRepUkol& report) {
  run.Debug(section, true);
  ReadKeys(run.ini, section, kReportKeys, report, run.kept);
  run.Debug([&] { return "minute=" + report.minute; }, false);
  run.Debug([&] { return "hour=" + report.hour; }, false);
  report.day = CalendarPattern(run, "day", report.day);
  report.month = CalendarPattern(run, "month", report.month);
  report.dayofweek = CalendarPattern(run, "dayofweek", report.dayofweek);
  report.template_ = TrimBlanks(report.template_);
  run.Debug([&] { return "template=" + report.template_; }, false);
  run.Debug([&] { return "length=" + LogText(report.length); }, false);

  report.MinuteValue = ClockValue(run, section, report.minute, "minute", 59, 10);
  report.HourValue = ClockValue(run, section, report.hour, "hour", 23, 1);
  if (report.length < 0) {
    run.log.Entry(section + " stupid length, set to 0");
    report.length = 0;
  }
  // Armed again at every reading, unless the report already ran today.
  const DateTime today = StartOfDay(run.now);
  report.DueToday = report.LaunchedOn != today && CalendarMatches(report.day, report.month, report.dayofweek, today);
}

}  // namespace

void ReadReports(ReadingRun& run, TRepUkoly& reports) {
  const std::int32_t count = run.ini.ReadInteger("reports", "count", 0);
  FitTable(run, reports, count, "reports");
  reports.exename = run.ini.ReadString("reports", "exename", "");
  run.Debug([&] { return "reports count=" + LogText(count) + kLineBreak + "exename=" + reports.exename; }, true);
  for (std::size_t i = 0; i < reports.Items.size(); ++i) {
    ReadReport(run, JobSectionName("report_", i), reports.Items[i]);
  }
}

}  // namespace tavro
