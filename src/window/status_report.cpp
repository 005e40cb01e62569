#include "window/status_report.h"

#include <cstdio>

#include "config/job_sections.h"
#include "config/program_sections.h"
#include "jobs/period_arithmetic.h"
#include "jobs/report_calendar.h"
#include "support/date_time_text.h"
#include "support/process_facts.h"
#include "support/process_path.h"
#include "support/version.h"

namespace tavro {
namespace {

constexpr const char* kSectionPrefixes[] = {"pump_", "batch_", "task_", "report_"};

std::string Quoted(const std::string& text) {
  std::string quoted = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        quoted += "\\\"";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\n':
        quoted += "\\n";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\t':
        quoted += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
          quoted += escaped;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "\"";
}

std::string TimeValue(DateTime value) { return IsSet(value) ? Quoted(IsoDateTimeText(value)) : "null"; }
std::string TimeValue(const std::optional<DateTime>& value) { return value ? TimeValue(*value) : "null"; }

// JSON has no infinities or NaN; a value such as 1e300 stays a number.
std::string NumberValue(double value) {
  if (value != value || value > 1e308 || value < -1e308) return "null";
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

std::string SourceName(std::int32_t mode) {
  for (const auto& [name, value] : kSourceNames) {
    if (value == mode) return std::string(name);
  }
  return "none";
}

std::string JobName(const LauncherState& state, JobKind kind, std::size_t i) {
  switch (kind) {
    case JobKind::Pump:
      return state.Pumps.Items[i].exename;
    case JobKind::Batch:
      return state.Batches.Items[i].taskname.empty() ? state.Batches.Items[i].exename : state.Batches.Items[i].taskname;
    case JobKind::Task:
      return state.Tasks.Items[i].taskname.empty() ? state.Tasks.Items[i].exename : state.Tasks.Items[i].taskname;
    case JobKind::Report:
      return state.Reports.Items[i].template_.empty() ? state.Reports.exename : state.Reports.Items[i].template_;
  }
  return {};
}

std::size_t JobCount(const LauncherState& state, JobKind kind) {
  const auto bounded = [](std::int32_t count, std::size_t size) {
    return std::min(static_cast<std::size_t>(std::max(count, 0)), size);
  };
  switch (kind) {
    case JobKind::Pump:
      return bounded(state.Pumps.count, state.Pumps.Items.size());
    case JobKind::Batch:
      return bounded(state.Batches.count, state.Batches.Items.size());
    case JobKind::Task:
      return bounded(state.Tasks.count, state.Tasks.Items.size());
    case JobKind::Report:
      return bounded(state.Reports.count, state.Reports.Items.size());
  }
  return 0;
}

std::string ResultFields(const JobRecord& record) {
  switch (record.result) {
    case LaunchResult::None:
      return "\"result\": null";
    case LaunchResult::Launched:
      return "\"result\": \"launched\"";
    case LaunchResult::Failed:
      return "\"result\": \"failed\", \"returnValue\": " + std::to_string(record.returnValue) +
             ", \"meaning\": " + Quoted(SystemErrorMeaning(record.returnValue));
    case LaunchResult::Held:
      return "\"result\": \"held\", \"heldBy\": " + Quoted(record.heldTag) +
             ", \"heldValue\": " + NumberValue(record.heldValue);
  }
  return {};
}

std::string EndValue(const std::optional<RunEndRecord>& end) {
  if (!end) return "null";
  return std::string("{") + (end->bySignal ? "\"signal\": " : "\"exitCode\": ") + std::to_string(end->code) +
         ", \"seconds\": " + SecondsText(end->milliseconds) + "}";
}

}  // namespace

std::string StatusFileName(const std::string& iniFileName) { return ReplaceExtension(iniFileName, ".status"); }

std::optional<DateTime> NextDueTime(const LauncherState& state, JobKind kind, std::size_t i, DateTime now) {
  switch (kind) {
    // A job without its first times (a reading that found errors) is due at no known time.
    case JobKind::Pump:
      if (!IsSet(state.Pumps.Items[i].LastTime)) return std::nullopt;
      return PumpDueTime(state.Pumps.Items[i]);
    case JobKind::Batch:
      if (!IsSet(state.Batches.Items[i].NextTime)) return std::nullopt;
      return state.Batches.Items[i].NextTime;
    case JobKind::Task:
      if (!IsSet(state.Tasks.Items[i].LastTime)) return std::nullopt;
      return TaskDueTime(state.Tasks.Items[i]);
    case JobKind::Report: {
      const TRepUkol& report = state.Reports.Items[i];
      if (report.template_.empty()) return std::nullopt;
      // Run today already, or not to run today: from tomorrow on. The hourly reading re-arms it.
      const DateTime from = report.DueToday ? now : AddDays(StartOfDay(now), 1);
      return NextReportRun(report, from, AddMonths(now, 12));
    }
  }
  return std::nullopt;
}

std::string StatusJson(const LauncherState& state, const StatusFacts& facts) {
  const JobStatus& status = state.Status;
  std::string json = "{\n";
  json += "  \"processId\": " + std::to_string(facts.processId) + ",\n";
  json += "  \"version\": " + Quoted(kVersion) + ",\n";
  json += std::string("  \"runMode\": ") + (facts.serviceMode ? "\"service\"" : "\"program\"") + ",\n";
  const bool running = facts.running && !facts.closing;
  json += std::string("  \"state\": ") + (running ? "\"running\"" : "\"stopped\"") + ",\n";
  json += "  \"stopReason\": " + (running ? std::string("null") : Quoted(facts.closing ? "closing" : status.stopReason)) +
          ",\n";
  json += "  \"written\": " + TimeValue(facts.now) + ",\n";
  json += "  \"reading\": {\"time\": " + TimeValue(status.lastReading) +
          ", \"valid\": " + (status.readingValid ? "true" : "false") +
          ", \"warnings\": " + std::to_string(status.readingWarningCount) + "},\n";
  json += "  \"source\": {\"mode\": " + Quoted(SourceName(state.Settings.SourceMode)) + ", \"lastReadError\": " +
          (status.lastReadError.empty() ? "null" : Quoted(status.lastReadError)) +
          ", \"lastReadErrorTime\": " + TimeValue(status.lastReadErrorTime) + "},\n";
  json += "  \"unwatchedRuns\": " + std::to_string(status.unwatchedRuns) + ",\n";
  json += "  \"jobs\": [";
  const char* separator = "\n";
  for (const JobKind kind : {JobKind::Pump, JobKind::Batch, JobKind::Task, JobKind::Report}) {
    for (std::size_t i = 0; i < JobCount(state, kind); ++i) {
      const int number = static_cast<int>(i) + 1;
      const JobRecord* record = status.Find(kind, number);
      const JobRecord none;
      const JobRecord& shown = record ? *record : none;
      json += separator;
      separator = ",\n";
      json += std::string("    {\"kind\": \"") + JobKindName(kind) + "\", \"number\": " + std::to_string(number) +
              ", \"section\": " + Quoted(JobSectionName(kSectionPrefixes[static_cast<std::size_t>(kind)], i)) +
              ", \"name\": " + Quoted(JobName(state, kind, i)) + ", \"next\": " +
              TimeValue(NextDueTime(state, kind, i, facts.now)) + ", \"lastLaunch\": " + TimeValue(shown.lastLaunch) +
              ", \"command\": " + (shown.lastCommand.empty() ? "null" : Quoted(shown.lastCommand)) + ", " +
              ResultFields(shown) + ", \"lastEnd\": " + EndValue(shown.lastEnd) + "}";
    }
  }
  json += "\n  ]\n}\n";
  return json;
}

}  // namespace tavro
