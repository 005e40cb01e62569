#include "jobs/job_times.h"

#include <charconv>
#include <cstdio>

#include "jobs/period_arithmetic.h"
#include "jobs/report_calendar.h"
#include "support/date_time_text.h"

namespace tavro {
namespace {

constexpr std::string_view kHeader = "tavrorun jobs 1";
// A record weeks old is not walked slot by slot beyond this: a day of minute slots for a month.
constexpr int kMostCounted = 31 * 1440;

std::string Padded(std::string line) {
  line.resize(kJobTimesLineWidth - 1, ' ');
  return line + '\n';
}

std::uint64_t Fingerprint(std::string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
  return hash;
}

// What makes a job's slots: a job whose section changed in any of these starts afresh.
std::uint64_t SectionFingerprint(const LauncherState& state, JobKind kind, std::size_t i) {
  const auto field = [](auto value) { return std::to_string(value) + "|"; };
  switch (kind) {
    case JobKind::Pump: {
      const TPumpa& p = state.Pumps.Items[i];
      return Fingerprint(p.exename + "|" + field(p.launchperiod) + field(p.phase));
    }
    case JobKind::Batch: {
      const TBec& b = state.Batches.Items[i];
      return Fingerprint(b.exename + "|" + field(b.type) + field(b.day) + field(b.phase));
    }
    case JobKind::Task: {
      const TUkol& t = state.Tasks.Items[i];
      return Fingerprint(t.exename + "|" + field(t.launchperiod) + field(t.phase));
    }
    case JobKind::Report: {
      const TRepUkol& r = state.Reports.Items[i];
      return Fingerprint(state.Reports.exename + "|" + field(r.HourValue) + field(r.MinuteValue) + r.day + "|" +
                         r.month + "|" + r.dayofweek);
    }
  }
  return 0;
}

constexpr JobKind kKinds[] = {JobKind::Pump, JobKind::Batch, JobKind::Task, JobKind::Report};

// `name=NUMBER` of a line's words.
template <typename Number>
bool Field(std::string_view line, std::string_view name, Number& value, int base = 10) {
  const std::size_t at = line.find(" " + std::string(name) + "=");
  if (at == std::string_view::npos) return false;
  const char* begin = line.data() + at + name.size() + 2;
  return std::from_chars(begin, line.data() + line.size(), value, base).ec == std::errc();
}

std::optional<JobTimes> ParseLine(std::string_view line) {
  JobTimes times;
  std::size_t k = 0;
  while (k < 4 && !line.starts_with(std::string(JobKindName(kKinds[k])) + " ")) ++k;
  if (k == 4) return std::nullopt;
  times.kind = kKinds[k];
  const std::string_view rest = line.substr(std::string_view(JobKindName(times.kind)).size() + 1);
  if (std::from_chars(rest.data(), rest.data() + rest.size(), times.number).ec != std::errc() || times.number < 1 ||
      !Field(line, "fp", times.fingerprint, 16) || !Field(line, "last", times.lastTime.ms) ||
      !Field(line, "next", times.nextTime.ms) || !Field(line, "on", times.launchedOn.ms) ||
      !Field(line, "written", times.written)) {
    return std::nullopt;
  }
  return times;
}

const JobTimes* Find(const JobTimesRecord& record, JobKind kind, int number) {
  for (const JobTimes& times : record.jobs) {
    if (times.kind == kind && times.number == number) return &times;
  }
  return nullptr;
}

// The slots of a job between its record's times and `now`, counted as the tick would meet them. A
// fresh start launches a pump's or task's slots after the times the reading gave it: those are not
// missed.
MissedJob Missed(const LauncherState& state, JobKind kind, std::size_t i, const JobTimes& times, DateTime alive,
                 DateTime now, const TimeZone& zone, bool resumed) {
  MissedJob missed{kind, static_cast<int>(i) + 1, 0, {}};
  const auto beforeFresh = [resumed](DateTime counted, DateTime fresh) { return resumed || counted < fresh; };
  switch (kind) {
    case JobKind::Pump: {
      TPumpa pump = state.Pumps.Items[i];
      pump.LastTime = times.lastTime;
      for (int n = 0; n < kMostCounted && IsSet(pump.LastTime) && PumpDueTime(pump) < now &&
                      beforeFresh(pump.LastTime, state.Pumps.Items[i].LastTime);
           ++n) {
        if (LocalTimeExists(zone, PumpSlotTime(pump))) ++missed.slots;
        pump.LastTime = PumpDueTime(pump);
      }
      break;
    }
    case JobKind::Task: {
      TUkol task = state.Tasks.Items[i];
      task.LastTime = times.lastTime;
      for (int n = 0; n < kMostCounted && IsSet(task.LastTime) && TaskDueTime(task) < now &&
                      beforeFresh(task.LastTime, state.Tasks.Items[i].LastTime);
           ++n) {
        const TaskSlot slot = TaskNextSlot(task);
        if (LocalTimeExists(zone, slot.slotTime)) ++missed.slots;
        task.LastTime = slot.newLastTime;
      }
      break;
    }
    case JobKind::Batch: {
      const TBec& batch = state.Batches.Items[i];
      DateTime next = times.nextTime;
      for (int n = 0; n < kMostCounted && IsSet(next) && next < now; ++n) {
        missed.runs.push_back(StartOfDay(next));
        next = NextRunTime(batch.type, batch.day, batch.phase, next);
      }
      break;
    }
    case JobKind::Report: {
      const TRepUkol& report = state.Reports.Items[i];
      if (report.template_.empty()) break;
      for (DateTime date = StartOfDay(alive); date <= now && missed.runs.size() < 31; date = AddDays(date, 1)) {
        const DateTime slot = AddMinutes(date, report.HourValue * 60 + report.MinuteValue);
        if (alive < slot && slot <= now && times.launchedOn != date &&
            CalendarMatches(report.day, report.month, report.dayofweek, date)) {
          missed.runs.push_back(date);
        }
      }
      break;
    }
  }
  return missed;
}

void TakeUp(LauncherState& state, JobKind kind, std::size_t i, const JobTimes& times, const MissedJob& missed,
            DateTime now) {
  switch (kind) {
    case JobKind::Pump:
      state.Pumps.Items[i].LastTime = times.lastTime;
      break;
    case JobKind::Task:
      state.Tasks.Items[i].LastTime = times.lastTime;
      break;
    case JobKind::Batch:
      state.Batches.Items[i].LastTime = times.lastTime;
      state.Batches.Items[i].NextTime = times.nextTime;
      break;
    case JobKind::Report: {
      TRepUkol& report = state.Reports.Items[i];
      report.LaunchedOn = times.launchedOn;
      if (report.LaunchedOn == StartOfDay(now)) report.DueToday = false;
      // The latest run missed, once; a run later today is still to come at its minute.
      if (!missed.runs.empty()) report.CatchUpOn = missed.runs.back();
      break;
    }
  }
}

}  // namespace

std::string JobTimesHeader(std::int64_t alive, std::int64_t started) {
  return Padded(std::string(kHeader) + " alive=" + std::to_string(alive) + " started=" + std::to_string(started));
}

std::string JobTimesLine(const JobTimes& times) {
  char fingerprint[17];
  std::snprintf(fingerprint, sizeof fingerprint, "%016llx", static_cast<unsigned long long>(times.fingerprint));
  return Padded(std::string(JobKindName(times.kind)) + " " + std::to_string(times.number) + " fp=" + fingerprint +
                " last=" + std::to_string(times.lastTime.ms) + " next=" + std::to_string(times.nextTime.ms) +
                " on=" + std::to_string(times.launchedOn.ms) + " written=" + std::to_string(times.written));
}

std::optional<JobTimesRecord> ParseJobTimes(std::string_view text) {
  if (!text.starts_with(kHeader)) return std::nullopt;
  JobTimesRecord record;
  const std::string_view header = text.substr(0, text.find('\n'));
  if (!Field(header, "alive", record.alive) || !Field(header, "started", record.started)) return std::nullopt;
  for (std::size_t at = header.size() + 1; at < text.size();) {
    const std::size_t end = std::min(text.find('\n', at), text.size());
    if (const std::optional<JobTimes> times = ParseLine(text.substr(at, end - at))) record.jobs.push_back(*times);
    at = end + 1;
  }
  return record;
}

std::size_t JobsOfKind(const LauncherState& state, JobKind kind) {
  switch (kind) {
    case JobKind::Pump:
      return state.Pumps.Items.size();
    case JobKind::Batch:
      return state.Batches.Items.size();
    case JobKind::Task:
      return state.Tasks.Items.size();
    case JobKind::Report:
      return state.Reports.Items.size();
  }
  return 0;
}

std::size_t JobPlace(const LauncherState& state, JobKind kind, std::size_t index) {
  std::size_t place = 0;
  for (const JobKind before : kKinds) {
    if (before == kind) break;
    place += JobsOfKind(state, before);
  }
  return place + index;
}

std::size_t JobCountOf(const LauncherState& state) {
  std::size_t count = 0;
  for (const JobKind kind : kKinds) count += JobsOfKind(state, kind);
  return count;
}

JobTimes TimesOf(const LauncherState& state, JobKind kind, std::size_t i, std::int64_t written) {
  JobTimes times{kind, static_cast<int>(i) + 1, SectionFingerprint(state, kind, i), {}, {}, {}, written};
  switch (kind) {
    case JobKind::Pump:
      times.lastTime = state.Pumps.Items[i].LastTime;
      break;
    case JobKind::Batch:
      times.lastTime = state.Batches.Items[i].LastTime;
      times.nextTime = state.Batches.Items[i].NextTime;
      break;
    case JobKind::Task:
      times.lastTime = state.Tasks.Items[i].LastTime;
      break;
    case JobKind::Report:
      times.launchedOn = state.Reports.Items[i].LaunchedOn;
      break;
  }
  return times;
}

RestartFindings TakeUpJobTimes(LauncherState& state, const JobTimesRecord& record, const ZonedTime& now,
                               int resumeHours, const TimeZone& zone) {
  RestartFindings findings;
  findings.notRunningFrom = record.alive;
  findings.notRunningTo = now.Instant();
  const std::int64_t age = now.Instant() - record.alive;
  findings.resumed = resumeHours > 0 && age <= resumeHours * kMsPerHour;
  if (resumeHours <= 0) {
    findings.why = "resume=0 starts every job afresh";
  } else if (!findings.resumed) {
    findings.why = "the times of the last run are " + std::to_string(age / kMsPerHour) + " hours old, more than resume=" +
                   std::to_string(resumeHours);
  }
  const DateTime alive = LocalTimeAt(zone, record.alive).local;
  for (const JobKind kind : kKinds) {
    for (std::size_t i = 0; i < JobsOfKind(state, kind); ++i) {
      const JobTimes* times = Find(record, kind, static_cast<int>(i) + 1);
      if (times == nullptr || times->fingerprint != SectionFingerprint(state, kind, i)) continue;
      const MissedJob missed = Missed(state, kind, i, *times, alive, now.local, zone, findings.resumed);
      if (missed.slots > 0 || !missed.runs.empty()) findings.missed.push_back(missed);
      // The catch-up launches every task slot and one of each other job's: those are not lost.
      std::uint64_t lost = static_cast<std::uint64_t>(missed.slots) + missed.runs.size();
      if (findings.resumed) lost -= kind == JobKind::Task ? lost : std::min<std::uint64_t>(lost, 1);
      state.Status.Job(kind, static_cast<int>(i) + 1).counts.missedSlots += lost;
      if (findings.resumed) TakeUp(state, kind, i, *times, missed, now.local);
    }
  }
  return findings;
}

std::vector<std::string> RestartEntries(const RestartFindings& findings, const TimeZone& zone) {
  const std::string from = LogStamp(LocalTimeAt(zone, findings.notRunningFrom).local);
  std::string entry = "Not running from " + from + " to " + LogStamp(LocalTimeAt(zone, findings.notRunningTo).local);
  if (findings.missed.empty()) return {entry + "; nothing was missed"};
  entry += "; missed:";
  const char* separator = " ";
  for (const MissedJob& job : findings.missed) {
    entry += separator;
    separator = ", ";
    entry += std::string(JobKindName(job.kind)) + " " + std::to_string(job.number);
    if (job.runs.empty()) {
      // "x" rather than a multiplication sign: the log is in the system's code page.
      entry += " x" + std::to_string(job.slots);
      continue;
    }
    entry += " (";
    for (std::size_t r = 0; r < job.runs.size() && r < 3; ++r) {
      entry += (r > 0 ? ", " : "") + FormatDateTime(R"(dd"."mm"."yyyy)", job.runs[r]);
    }
    if (job.runs.size() > 3) entry += " and " + std::to_string(job.runs.size() - 3) + " more";
    entry += ")";
  }
  return {entry, findings.resumed ? "They are caught up as after a stop: each pump and batch once, every task slot, "
                                    "each report once"
                                  : "They are not caught up: " + findings.why};
}

}  // namespace tavro
