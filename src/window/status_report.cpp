#include "window/status_report.h"

#include <cstdio>
#include <string_view>

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

// The status is written again at every tick that launched something: its text is appended in one
// string, with no string made per field.
void AppendQuoted(std::string& out, std::string_view text) {
  out += '"';
  std::size_t plain = 0;  // the start of the characters not yet copied, which need no escape
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c != '"' && c != '\\' && static_cast<unsigned char>(c) >= 0x20) continue;
    out.append(text, plain, i - plain);
    plain = i + 1;
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default: {
        char escaped[8];
        std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(static_cast<unsigned char>(c)));
        out += escaped;
      }
    }
  }
  out.append(text, plain);
  out += '"';
}

void AppendTime(std::string& out, DateTime value) {
  if (!IsSet(value)) {
    out += "null";
    return;
  }
  out += '"';
  out += IsoDateTimeText(value);
  out += '"';
}
void AppendTime(std::string& out, const std::optional<DateTime>& value) {
  if (value) {
    AppendTime(out, *value);
  } else {
    out += "null";
  }
}

// JSON has no infinities or NaN; a value such as 1e300 stays a number.
void AppendNumber(std::string& out, double value) {
  if (value != value || value > 1e308 || value < -1e308) {
    out += "null";
    return;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  out += text;
}

std::string_view SourceName(std::int32_t mode) {
  for (const auto& [name, value] : kSourceNames) {
    if (value == mode) return name;
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

void AppendResultFields(std::string& out, const JobRecord& record) {
  switch (record.result) {
    case LaunchResult::None:
      out += "\"result\": null";
      return;
    case LaunchResult::Launched:
      out += "\"result\": \"launched\"";
      return;
    case LaunchResult::Failed:
      out += "\"result\": \"failed\", \"returnValue\": ";
      AppendDecimal(out, record.returnValue);
      out += ", \"meaning\": ";
      AppendQuoted(out, SystemErrorMeaning(record.returnValue));
      return;
    case LaunchResult::Held:
      out += "\"result\": \"held\", \"heldBy\": ";
      AppendQuoted(out, record.heldTag);
      out += ", \"heldValue\": ";
      AppendNumber(out, record.heldValue);
      return;
  }
}

void AppendEnd(std::string& out, const std::optional<RunEndRecord>& end) {
  if (!end) {
    out += "null";
    return;
  }
  out += end->bySignal ? "{\"signal\": " : "{\"exitCode\": ";
  out += std::to_string(end->code);
  out += ", \"seconds\": ";
  out += SecondsText(end->milliseconds);
  out += '}';
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
  std::string json;
  std::size_t jobs = 0;
  for (const JobKind kind : {JobKind::Pump, JobKind::Batch, JobKind::Task, JobKind::Report}) jobs += JobCount(state, kind);
  json.reserve(1024 + 400 * jobs);
  json += "{\n  \"processId\": ";
  AppendDecimal(json, facts.processId);
  json += ",\n  \"version\": ";
  AppendQuoted(json, kVersion);
  json += facts.serviceMode ? ",\n  \"runMode\": \"service\"" : ",\n  \"runMode\": \"program\"";
  const bool running = facts.running && !facts.closing;
  json += running ? ",\n  \"state\": \"running\"" : ",\n  \"state\": \"stopped\"";
  json += ",\n  \"stopReason\": ";
  if (running) {
    json += "null";
  } else {
    AppendQuoted(json, facts.closing ? "closing" : status.stopReason);
  }
  json += ",\n  \"written\": ";
  AppendTime(json, facts.now);
  json += ",\n  \"reading\": {\"time\": ";
  AppendTime(json, status.lastReading);
  json += status.readingValid ? ", \"valid\": true" : ", \"valid\": false";
  json += ", \"warnings\": ";
  AppendDecimal(json, status.readingWarningCount);
  json += "},\n  \"source\": {\"mode\": ";
  AppendQuoted(json, SourceName(state.Settings.SourceMode));
  json += ", \"lastReadError\": ";
  if (status.lastReadError.empty()) {
    json += "null";
  } else {
    AppendQuoted(json, status.lastReadError);
  }
  json += ", \"lastReadErrorTime\": ";
  AppendTime(json, status.lastReadErrorTime);
  json += "},\n  \"unwatchedRuns\": ";
  json += std::to_string(status.unwatchedRuns);
  json += ",\n  \"jobs\": [";
  const char* separator = "\n";
  const JobRecord none;
  for (const JobKind kind : {JobKind::Pump, JobKind::Batch, JobKind::Task, JobKind::Report}) {
    for (std::size_t i = 0; i < JobCount(state, kind); ++i) {
      const int number = static_cast<int>(i) + 1;
      const JobRecord* record = status.Find(kind, number);
      const JobRecord& shown = record ? *record : none;
      json += separator;
      separator = ",\n";
      json += "    {\"kind\": \"";
      json += JobKindName(kind);
      json += "\", \"number\": ";
      AppendDecimal(json, number);
      json += ", \"section\": ";
      AppendQuoted(json, JobSectionName(kSectionPrefixes[static_cast<std::size_t>(kind)], i));
      json += ", \"name\": ";
      AppendQuoted(json, JobName(state, kind, i));
      json += ", \"next\": ";
      AppendTime(json, NextDueTime(state, kind, i, facts.now));
      json += ", \"lastLaunch\": ";
      AppendTime(json, shown.lastLaunch);
      json += ", \"command\": ";
      if (shown.lastCommand.empty()) {
        json += "null";
      } else {
        AppendQuoted(json, shown.lastCommand);
      }
      json += ", ";
      AppendResultFields(json, shown);
      json += ", \"lastEnd\": ";
      AppendEnd(json, shown.lastEnd);
      json += '}';
    }
  }
  json += "\n  ]\n}\n";
  return json;
}

}  // namespace tavro
