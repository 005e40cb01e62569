#include "window/status_report.h"

#include "config/job_sections.h"
#include "config/program_sections.h"
#include "jobs/period_arithmetic.h"
#include "jobs/report_calendar.h"
#include "jobs/slot_gaps.h"
#include "support/date_time_text.h"
#include "support/process_facts.h"
#include "support/process_path.h"
#include "support/utf8.h"
#include "support/version.h"

namespace tavro {
namespace {

constexpr const char* kSectionPrefixes[] = {"pump_", "batch_", "task_", "report_"};

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

}  // namespace

std::string StatusFileName(const std::string& iniFileName) { return ReplaceExtension(iniFileName, ".status"); }

std::string MetricsFileName(const ProgramSettings& settings) {
  return settings.MetricsFile.empty() ? ReplaceExtension(settings.IniFileName, ".prom") : settings.MetricsFile;
}

namespace {

// The local due time `due` as the clock will show it: the occurrence still to come, or for one
// already past (a job that is due) the first; in a gap, where the clock passes over it.
ZonedTime DueAsTheClockShowsIt(const TimeZone& zone, DateTime due, const ZonedTime& now) {
  if (const std::optional<ZonedTime> coming = WhenLocalTimeComes(zone, due, now.Instant())) return *coming;
  return FirstZonedTimeOf(zone, due);
}

std::optional<DateTime> NextLocalDueTime(const LauncherState& state, JobKind kind, std::size_t i, DateTime now,
                                         const TimeZone& zone) {
  constexpr DateTime kAnyTime{INT64_MAX};
  switch (kind) {
    // A job without its first times (a reading that found errors) is due at no known time.
    case JobKind::Pump: {
      TPumpa pump = state.Pumps.Items[i];
      if (!IsSet(pump.LastTime)) return std::nullopt;
      PassPumpSlotsThatDoNotExist(pump, kAnyTime, zone);
      return PumpDueTime(pump);
    }
    case JobKind::Batch:
      if (!IsSet(state.Batches.Items[i].NextTime)) return std::nullopt;
      return state.Batches.Items[i].NextTime;
    case JobKind::Task: {
      TUkol task = state.Tasks.Items[i];
      if (!IsSet(task.LastTime)) return std::nullopt;
      PassTaskSlotsThatDoNotExist(task, kAnyTime, zone);
      return TaskDueTime(task);
    }
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

}  // namespace

std::optional<ZonedTime> NextDueTime(const LauncherState& state, JobKind kind, std::size_t i, const ZonedTime& now,
                                     const TimeZone& zone) {
  const std::optional<DateTime> due = NextLocalDueTime(state, kind, i, now.local, zone);
  if (!due) return std::nullopt;
  return DueAsTheClockShowsIt(zone, *due, now);
}

StatusRecord MakeStatusRecord(const LauncherState& state, const StatusFacts& facts) {
  const FixedOffsetZone utc;
  const TimeZone& zone = facts.zone != nullptr ? *facts.zone : utc;
  const JobStatus& status = state.Status;
  StatusRecord record;
  record.processId = facts.processId;
  record.version = kVersion;
  record.serviceMode = facts.serviceMode;
  record.state = facts.ended     ? LauncherRunState::Ended
                 : facts.running ? LauncherRunState::Running
                                 : LauncherRunState::Stopped;
  if (record.state != LauncherRunState::Running) record.stopReason = Utf8FromSystemText(status.stopReason);
  record.written = facts.now;
  record.reading = {status.lastReading, status.readingValid, status.readingWarningCount, status.validReadings,
                    status.invalidReadings};
  record.source.mode = SourceName(state.Settings.SourceMode);
  if (!status.lastReadError.empty()) record.source.lastReadError = Utf8FromSystemText(status.lastReadError);
  record.source.lastReadErrorTime = status.lastReadErrorTime;
  record.source.readErrors = status.readErrors;
  record.source.reachable = !status.sourceLost;
  record.unwatchedRuns = status.unwatchedRuns;
  const JobRecord none;
  for (const JobKind kind : {JobKind::Pump, JobKind::Batch, JobKind::Task, JobKind::Report}) {
    for (std::size_t i = 0; i < JobCount(state, kind); ++i) {
      const int number = static_cast<int>(i) + 1;
      const JobRecord* found = status.Find(kind, number);
      const JobRecord& shown = found ? *found : none;
      StatusRecord::Job& job = record.jobs.emplace_back();
      job.kind = kind;
      job.number = number;
      job.section = Utf8FromSystemText(JobSectionName(kSectionPrefixes[static_cast<std::size_t>(kind)], i));
      job.name = Utf8FromSystemText(JobName(state, kind, i));
      job.next = NextDueTime(state, kind, i, facts.now, zone);
      job.lastLaunch = shown.lastLaunch;
      if (!shown.lastCommand.empty()) job.command = Utf8FromSystemText(shown.lastCommand);
      job.result = shown.result;
      job.returnValue = shown.returnValue;
      if (shown.result == LaunchResult::Failed) job.meaning = Utf8FromSystemText(SystemErrorMeaning(shown.returnValue));
      job.heldBy = Utf8FromSystemText(shown.heldTag);
      job.heldValue = shown.heldValue;
      if (!shown.heldFailure.empty()) job.sourceFailed = Utf8FromSystemText(shown.heldFailure);
      if (IsSet(shown.readAgainUntil)) job.readAgainUntil = DueAsTheClockShowsIt(zone, shown.readAgainUntil, facts.now);
      job.lastEnd = shown.lastEnd;
      job.skippedOverlaps = shown.counts.skippedOverlaps;
      job.endedByLimit = shown.counts.endedByLimit;
      job.counts = shown.counts;
      for (const AwaitedRun& run : status.awaited) job.runsNow += run.kind == kind && run.number == number ? 1 : 0;
    }
  }
  return record;
}

}  // namespace tavro
