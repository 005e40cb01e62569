#include "window/status_table.h"

#include <algorithm>
#include <array>
#include <optional>

#include "support/date_time_text.h"

namespace tavro {
namespace {

constexpr const char* kNone = "-";

// "3s", "4min 5s", "2h 10min", "3d 4h": the two largest units, as list-timers writes them.
std::string SpanText(std::int64_t ms) {
  const std::int64_t seconds = ms / kMsPerSecond;
  const std::int64_t minutes = seconds / 60, hours = minutes / 60, days = hours / 24;
  if (days > 0) return std::to_string(days) + "d " + std::to_string(hours % 24) + "h";
  if (hours > 0) return std::to_string(hours) + "h " + std::to_string(minutes % 60) + "min";
  if (minutes > 0) return std::to_string(minutes) + "min " + std::to_string(seconds % 60) + "s";
  return std::to_string(seconds) + "s";
}

std::string EndText(const std::optional<RunEndRecord>& end) {
  if (!end) return {};
  const std::string seconds = SecondsText(end->milliseconds);
  if (end->byLimit) return "ended at its run time limit after " + seconds + " s";
  if (end->bySignal) return "ended by signal " + std::to_string(end->code) + " after " + seconds + " s";
  return "exit code " + std::to_string(end->code) + " after " + seconds + " s";
}

std::string ResultText(const StatusRecord::Job& job) {
  std::string text = kNone;
  switch (job.result) {
    case LaunchResult::None:
      break;
    case LaunchResult::Launched:
      text = "launched";
      break;
    case LaunchResult::Failed:
      text = "failed, return value " + std::to_string(job.returnValue) + " (" + job.meaning + ")";
      break;
    case LaunchResult::Held:
      if (!job.sourceFailed) {
        text = "held by " + job.heldBy + " (" + NumberText(job.heldValue) + ")";
        break;
      }
      text = "source failed for " + job.heldBy + " (" + NumberText(job.heldValue) + "): " + *job.sourceFailed;
      if (job.readAgainUntil) text += "; read again until " + IsoDateTimeText(job.readAgainUntil->local);
      break;
    case LaunchResult::Skipped:
      text = "skipped: the run before still ran";
      break;
    case LaunchResult::Waiting:
      text = "waits for the run before";
      break;
  }
  const std::string end = EndText(job.lastEnd);
  return end.empty() ? text : text + "; last run: " + end;
}

std::string TimeText(const std::optional<ZonedTime>& time, int offsetShownAs) {
  if (!time) return kNone;
  if (time->offsetMinutes == offsetShownAs) return IsoDateTimeText(time->local);
  return IsoDateTimeText(time->local) + ZonedTimeText(*time).substr(19);
}

std::array<std::string, 6> Row(const StatusRecord::Job& job, const ZonedTime& now) {
  const std::optional<ZonedTime>& next = job.next;
  const std::optional<ZonedTime>& last = job.lastLaunch;
  const std::int64_t instant = now.Instant();
  return {TimeText(next, now.offsetMinutes),
          next ? (next->Instant() < instant ? "due" : SpanText(next->Instant() - instant)) : kNone,
          TimeText(last, now.offsetMinutes),
          last ? (instant < last->Instant() ? kNone : SpanText(instant - last->Instant()) + " ago") : kNone,
          std::string(JobKindName(job.kind)) + " " + std::to_string(job.number) + " " + job.name,
          ResultText(job)};
}

}  // namespace

std::vector<std::string> StatusTableLines(const StatusRecord& status, const ZonedTime& now) {
  std::vector<std::array<std::string, 6>> rows{{"NEXT", "LEFT", "LAST", "PASSED", "JOB", "RESULT"}};
  for (const StatusRecord::Job& job : status.jobs) rows.push_back(Row(job, now));
  std::array<std::size_t, 6> widths{};
  for (const auto& row : rows) {
    for (std::size_t i = 0; i < row.size(); ++i) widths[i] = std::max(widths[i], row[i].size());
  }
  std::vector<std::string> lines;
  for (const auto& row : rows) {
    std::string line;
    for (std::size_t i = 0; i < row.size(); ++i) {
      line += row[i];
      if (i + 1 < row.size()) line.append(widths[i] - row[i].size() + 2, ' ');
    }
    lines.push_back(line);
  }
  return lines;
}

std::string StatusSummary(const StatusRecord& status, bool runs) {
  constexpr const char* kStates[] = {"running", "stopped", "ended"};
  const std::string process = std::to_string(status.processId);
  std::string text = std::to_string(status.jobs.size()) + " jobs; launcher ";
  if (status.state == LauncherRunState::Ended) {
    text += "ended";
  } else if (runs) {
    text += kStates[static_cast<std::size_t>(status.state)];
  } else {
    text += "stale: process " + process + " no longer runs";
  }
  if ((runs || status.state == LauncherRunState::Ended) && status.stopReason) text += " (" + *status.stopReason + ")";
  text += std::string(", ") + (status.serviceMode ? "service" : "program") + " mode, version " + status.version +
          (runs ? ", process " + process : ", written " + TimeText(status.written, status.written.offsetMinutes));
  const int offset = status.written.offsetMinutes;
  text += "; last reading " + TimeText(status.reading.time, offset) + " " + (status.reading.valid ? "valid" : "with errors") +
          ", " + std::to_string(status.reading.warnings) + " warnings";
  text += "; source " + status.source.mode;
  if (!status.source.reachable) text += " (cannot be reached)";
  if (status.source.lastReadError) {
    text += ", last read error at " + TimeText(status.source.lastReadErrorTime, offset) + ": " + *status.source.lastReadError;
  }
  if (status.unwatchedRuns > 0) {
    text += "; " + std::to_string(status.unwatchedRuns) + " runs started without watching their end";
  }
  return text;
}

}  // namespace tavro
