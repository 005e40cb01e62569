#include "jobs/job_times.h"

#include <gtest/gtest.h>

#include "jobs/period_arithmetic.h"

namespace tavro {
namespace {

DateTime At(int hour, int minute) { return MakeDateTime(2026, 12, 7, hour, minute); }

// A pump 15/5, a task of 15 minutes, a daily batch at 02:00, a report at 02:30, as a launcher that
// ran until 01:58 left them.
LauncherState Jobs() {
  LauncherState state;
  TPumpa pump;
  pump.launchperiod = 15, pump.phase = 5, pump.exename = "/j/pump", pump.LastTime = At(1, 50);
  TUkol task;
  task.launchperiod = 15, task.exename = "/j/task", task.LastTime = At(1, 45);
  TBec batch;
  batch.phase = 120, batch.exename = "/j/batch", batch.LastTime = MakeDateTime(2026, 12, 6, 2, 0),
  batch.NextTime = At(2, 0);
  TRepUkol report;
  report.HourValue = 2, report.MinuteValue = 30, report.template_ = "r", report.day = report.month = report.dayofweek = "*";
  report.LaunchedOn = MakeDateTime(2026, 12, 6);
  state.Pumps.Items = {pump};
  state.Tasks.Items = {task};
  state.Batches.Items = {batch};
  state.Reports.Items = {report};
  state.Reports.exename = "/j/report";
  return state;
}

// Started again at 03:05 after a stop at 01:58: the slots missed are counted per job whose section is
// unchanged, and taken up only with resume set and a record young enough.
TEST(JobTimes, ARestartTellsWhatWasMissedAndTakesUpUnchangedJobs) {
  const FixedOffsetZone zone(60);
  const ZonedTime now{At(3, 5), 60};
  const std::int64_t alive = ZonedTime{At(1, 58), 60}.Instant();
  std::string written = JobTimesHeader(alive, alive - kMsPerHour);
  for (const JobKind kind : {JobKind::Pump, JobKind::Batch, JobKind::Task, JobKind::Report}) {
    written += JobTimesLine(TimesOf(Jobs(), kind, 0, alive));
  }
  const struct {
    const char* name;
    int resume;
    bool changePump;
    bool resumed;
    const char* said;
    std::uint64_t lost;  // the missed slots counted in the status: the catch-up launches the others
  } cases[] = {
      {"resumed", 24, false, true,
       "missed: pump 1 x4, batch 1 (07.12.2026), task 1 x5, report 1 (07.12.2026)", 3},
      {"a changed section starts afresh", 24, true, true, "missed: batch 1 (07.12.2026), task 1 x5, report 1", 0},
      {"too old a record", 1, false, false, "not caught up: the times of the last run are 1 hours old, more than resume=1", 10},
      // The slots after the fresh times are launched by the fresh start: no more missed.
      {"resume off", 0, false, false, "missed: pump 1 x4, batch 1 (07.12.2026), task 1 x4, report 1", 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const JobTimesRecord record = *ParseJobTimes(written);
    LauncherState state = Jobs();
    for (TPumpa& pump : state.Pumps.Items) pump.LastTime = PumpInitialLastTime(pump, now.local);
    for (TUkol& task : state.Tasks.Items) task.LastTime = TaskInitialLastTime(task, now.local);
    if (c.changePump) state.Pumps.Items[0].launchperiod = 30;
    const DateTime fresh = state.Pumps.Items[0].LastTime;
    const RestartFindings findings = TakeUpJobTimes(state, record, now, c.resume, zone);
    EXPECT_EQ(findings.resumed, c.resumed);
    const std::vector<std::string> entries = RestartEntries(findings, zone);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].rfind("Not running from 2026.12.07 01:58:00 to 2026.12.07 03:05:00; ", 0), 0u) << entries[0];
    EXPECT_NE((entries[0] + entries[1]).find(c.said), std::string::npos) << entries[0] << "\n" << entries[1];
    const bool pumpTakenUp = c.resumed && !c.changePump;
    EXPECT_EQ(state.Pumps.Items[0].LastTime, pumpTakenUp ? At(1, 50) : fresh);
    EXPECT_EQ(state.Reports.Items[0].CatchUpOn, c.resumed ? MakeDateTime(2026, 12, 7) : DateTime{});
    EXPECT_EQ(state.Batches.Items[0].NextTime, At(2, 0));  // as the earlier run left it, in every case
    std::uint64_t lost = 0;
    for (const auto& records : state.Status.jobs) {
      for (const JobRecord& job : records) lost += job.counts.missedSlots;
    }
    EXPECT_EQ(lost, c.lost);
  }
}

}  // namespace
}  // namespace tavro
