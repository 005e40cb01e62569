#pragma once
// The job times a launcher leaves for the next one ("tavrorun.jobs" beside its configuration): each
// job's times as of its last launch decision, with what identifies its section, and when the
// launcher was last known running. A new launcher tells from it what was missed while none ran,
// and with `[program] resume=H` takes up the times of jobs whose sections did not change.
//
// The file is lines of one width, so that a job's line is written in place by one write: a header,
// then one line per job, pumps, batches, tasks, reports in the order of their sections.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jobs/launcher_state.h"
#include "support/time_zone.h"

namespace tavro {

inline constexpr std::size_t kJobTimesLineWidth = 128;  // the line end included

struct JobTimes {
  JobKind kind = JobKind::Pump;
  int number = 0;                 // counted from 1
  std::uint64_t fingerprint = 0;  // of what makes its slots: see SectionFingerprint
  DateTime lastTime, nextTime;    // LastTime, and a batch's NextTime
  DateTime launchedOn;            // a report's
  std::int64_t written = 0;       // the instant the line was written
};

struct JobTimesRecord {
  std::int64_t alive = 0;    // when the launcher that wrote it was last known running (an instant)
  std::int64_t started = 0;  // when it started
  std::vector<JobTimes> jobs;
};

std::string JobTimesHeader(std::int64_t alive, std::int64_t started);
std::string JobTimesLine(const JobTimes& times);
// None for a text that is no record of job times; lines it cannot read are passed over.
std::optional<JobTimesRecord> ParseJobTimes(std::string_view text);

// The jobs of one kind; a job's place among all jobs (the line after the header); all jobs.
std::size_t JobsOfKind(const LauncherState& state, JobKind kind);
std::size_t JobPlace(const LauncherState& state, JobKind kind, std::size_t index);
std::size_t JobCountOf(const LauncherState& state);

// The job's times as its record writes them, at the instant `written`.
JobTimes TimesOf(const LauncherState& state, JobKind kind, std::size_t index, std::int64_t written);

// What a restart makes of a record (see job_times.cpp): the slots each job missed while no launcher
// ran, and whether the jobs' times were taken up.
struct MissedJob {
  JobKind kind = JobKind::Pump;
  int number = 0;
  int slots = 0;                   // pumps and tasks
  std::vector<DateTime> runs;      // batches: the dates of their runs; reports: of their days
};
struct RestartFindings {
  std::int64_t notRunningFrom = 0, notRunningTo = 0;  // instants
  std::vector<MissedJob> missed;
  bool resumed = false;
  std::string why;  // why not, when not resumed
};

// Counts the missed slots of every job whose section is unchanged and, when `resumeHours` is above
// 0 and the record no older than that, takes up its times (and marks a report whose run was
// missed to run once). `now` is the start.
RestartFindings TakeUpJobTimes(LauncherState& state, const JobTimesRecord& record, const ZonedTime& now,
                               int resumeHours, const TimeZone& zone);

// "Not running from 2026.12.07 01:58:03 to 2026.12.07 03:05:00; missed: pump 1 x4, task 1 x12,
// batch 1 (09.12.2026)", and a second entry: caught up or not, and why.
std::vector<std::string> RestartEntries(const RestartFindings& findings, const TimeZone& zone);

}  // namespace tavro
