#include "jobs/period_arithmetic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/date_time_text.h"

namespace tavro {
namespace {

// Readable in failure messages; seconds kept so that off-by-a-tick errors show.
std::string Text(DateTime value) { return FormatDateTime("yyyy-mm-dd hh:nn:ss", value); }

DateTime At(int year, int month, int day, int hour, int minute, int second = 0) {
  return MakeDateTime(year, month, day, hour, minute, second);
}

TPumpa Pump(int launchperiod, int phase) {
  TPumpa pump;
  pump.launchperiod = launchperiod;
  pump.phase = phase;
  return pump;
}

TUkol Task(int launchperiod, int phase, int intervallength) {
  TUkol task;
  task.launchperiod = launchperiod;
  task.phase = phase;
  task.intervallength = intervallength;
  return task;
}

TBec Batch(int type, int day, int phase, int margins, int intervallength) {
  TBec batch;
  batch.type = type;
  batch.day = day;
  batch.phase = phase;
  batch.margins = margins;
  batch.intervallength = intervallength;
  return batch;
}

// 7 December 2026 is a Monday.
TEST(PumpRules, InitialLastTimeStepsOnePeriodBackButNotOverMidnight) {
  struct Case {
    int launchperiod, phase;
    DateTime now;
    std::string lastTime;
  };
  const std::vector<Case> cases = {
      {15, 5, At(2026, 12, 7, 10, 7, 30), "2026-12-07 09:50:00"},
      {15, 5, At(2026, 12, 7, 10, 3), "2026-12-07 09:50:00"},
      {60, 10, At(2026, 12, 7, 0, 30), "2026-12-07 00:10:00"},
      {60, 10, At(2026, 12, 7, 1, 0), "2026-12-07 00:10:00"},
      {60, 10, At(2026, 12, 7, 23, 59, 59), "2026-12-07 22:10:00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(PumpInitialLastTime(Pump(c.launchperiod, c.phase), c.now)), c.lastTime) << Text(c.now);
  }
}

TEST(PumpRules, DueSlotAndAdvanceAlignToMidnight) {
  TPumpa pump = Pump(15, 5);
  pump.LastTime = PumpInitialLastTime(pump, At(2026, 12, 7, 10, 7, 30));
  EXPECT_EQ(Text(PumpDueTime(pump)), "2026-12-07 10:05:00");
  EXPECT_EQ(Text(PumpSlotTime(pump)), "2026-12-07 10:00:00");
  pump.LastTime = PumpAdvancedLastTime(pump, At(2026, 12, 7, 10, 7, 40));
  EXPECT_EQ(Text(pump.LastTime), "2026-12-07 10:05:00");
  EXPECT_EQ(Text(PumpDueTime(pump)), "2026-12-07 10:20:00");

  // After a pause of hours one catch-up launch realigns to the tick's own period.
  EXPECT_EQ(Text(PumpAdvancedLastTime(pump, At(2026, 12, 7, 15, 44, 59))), "2026-12-07 15:35:00");
}

TEST(TaskRules, InitialLastTime) {
  struct Case {
    int launchperiod, phase;
    DateTime now;
    std::string lastTime;
  };
  const std::vector<Case> cases = {
      // Short periods hold the slot base without the phase.
      {15, 5, At(2026, 12, 7, 10, 7, 30), "2026-12-07 09:45:00"},
      {15, 5, At(2026, 12, 7, 0, 3), "2026-12-06 23:45:00"},
      {15, 5, At(2026, 12, 7, 0, 4, 59), "2026-12-06 23:45:00"},
      {15, 5, At(2026, 12, 7, 0, 5), "2026-12-06 23:45:00"},
      {15, 5, At(2026, 12, 7, 0, 20), "2026-12-07 00:00:00"},
      {15, 20, At(2026, 12, 7, 0, 5, 30), "2026-12-06 23:45:00"},  // -14.5 truncates to -14
      {15, 20, At(2026, 12, 7, 0, 5), "2026-12-06 23:30:00"},
      {60, 10, At(2026, 12, 7, 0, 30), "2026-12-06 23:00:00"},
      // Long periods hold the launch time, stepped back only while it lies ahead.
      {120, 70, At(2026, 12, 7, 10, 7, 30), "2026-12-07 01:10:00"},
      {120, 70, At(2026, 12, 7, 0, 30), "2026-12-06 23:10:00"},
      {120, 70, At(2026, 12, 7, 1, 10), "2026-12-07 01:10:00"},
      {120, 70, MakeDateTime(2026, 12, 7, 1, 9, 59, 999), "2026-12-06 23:10:00"},
      // A phase of days reaches the same slot the step-by-step walk back would.
      {120, 70 + 2 * 1440, At(2026, 12, 7, 10, 7, 30), "2026-12-07 09:10:00"},
      {120, 70 + 2 * 1440, At(2026, 12, 7, 9, 10), "2026-12-07 09:10:00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(TaskInitialLastTime(Task(c.launchperiod, c.phase, 60), c.now)), c.lastTime)
        << c.launchperiod << "/" << c.phase << " at " << Text(c.now);
  }
}

struct Launch {
  std::string slot, lastTime;
};

// Runs ten-second ticks and takes one slot per tick whose due time lies strictly before it.
std::vector<Launch> RunTicks(TUkol& task, DateTime firstTick, int ticks) {
  std::vector<Launch> launches;
  for (int i = 0; i < ticks; ++i) {
    const DateTime tick{firstTick.ms + i * 10 * kMsPerSecond};
    if (!(TaskDueTime(task) < tick)) continue;
    const TaskSlot slot = TaskNextSlot(task);
    task.LastTime = slot.newLastTime;
    launches.push_back({Text(slot.slotTime), Text(slot.newLastTime)});
  }
  return launches;
}

TEST(TaskRules, ShortPeriodLaunchesEveryMissedSlot) {
  TUkol task = Task(15, 5, 15);
  task.LastTime = TaskInitialLastTime(task, At(2026, 12, 7, 10, 7, 30));
  EXPECT_EQ(Text(TaskDueTime(task)), "2026-12-07 10:05:00");
  const std::vector<Launch> launches = RunTicks(task, At(2026, 12, 7, 10, 7, 40), 3);
  ASSERT_EQ(launches.size(), 1u);
  EXPECT_EQ(launches[0].slot, "2026-12-07 10:00:00");
  EXPECT_EQ(launches[0].lastTime, "2026-12-07 10:00:00");
  EXPECT_EQ(Text(TaskDueTime(task)), "2026-12-07 10:20:00");

  task.LastTime = At(2026, 12, 7, 8, 0);
  // Slots 08:15, 08:30 and 08:45, one per tick; 09:00 falls due only after 09:05.
  EXPECT_EQ(RunTicks(task, At(2026, 12, 7, 9, 0, 5), 10).size(), 3u);
}

TEST(TaskRules, HourPeriodAddsOneHour) {
  TUkol task = Task(60, 10, 60);
  task.LastTime = At(2026, 12, 7, 23, 0);
  EXPECT_EQ(Text(TaskDueTime(task)), "2026-12-08 00:10:00");
  const TaskSlot slot = TaskNextSlot(task);
  EXPECT_EQ(Text(slot.slotTime), "2026-12-08 00:00:00");
  EXPECT_EQ(Text(slot.newLastTime), "2026-12-08 00:00:00");
}

TEST(TaskRules, LongPeriodCatchesUpTheDayFromItsLaunchTime) {
  TUkol task = Task(120, 70, 60);
  task.LastTime = TaskInitialLastTime(task, At(2026, 12, 7, 10, 7, 30));
  const std::vector<Launch> launches = RunTicks(task, At(2026, 12, 7, 10, 7, 40), 60);
  ASSERT_EQ(launches.size(), 4u);
  EXPECT_EQ(launches[0].slot, "2026-12-07 02:00:00");
  EXPECT_EQ(launches[1].slot, "2026-12-07 04:00:00");
  EXPECT_EQ(launches[2].slot, "2026-12-07 06:00:00");
  EXPECT_EQ(launches[3].slot, "2026-12-07 08:00:00");
  EXPECT_EQ(Text(task.LastTime), "2026-12-07 09:10:00");
  EXPECT_EQ(Text(TaskDueTime(task)), "2026-12-07 11:10:00");
}

TEST(TaskRules, LongPeriodOfOddLengthAdvancesByWholeHours) {
  TUkol task = Task(90, 10, 60);
  task.LastTime = At(2026, 12, 7, 1, 10);
  const std::vector<Launch> expected = {{"2026-12-07 01:30:00", "2026-12-07 02:10:00"},
                                        {"2026-12-07 02:30:00", "2026-12-07 03:10:00"},
                                        {"2026-12-07 03:30:00", "2026-12-07 04:10:00"}};
  for (const Launch& step : expected) {
    const TaskSlot slot = TaskNextSlot(task);
    EXPECT_EQ(Text(slot.slotTime), step.slot);
    EXPECT_EQ(Text(slot.newLastTime), step.lastTime);
    task.LastTime = slot.newLastTime;
  }
}

// The configuration reading refuses such periods; the rules still must not divide by zero or move
// backwards, and take them as one minute.
TEST(PeriodRules, PeriodBelowOneMinuteCountsAsOne) {
  const DateTime now = At(2026, 12, 7, 10, 7, 30);
  for (int period : {0, -15}) {
    TPumpa pump = Pump(period, 0);
    EXPECT_EQ(Text(PumpInitialLastTime(pump, now)), "2026-12-07 10:06:00");
    pump.LastTime = PumpAdvancedLastTime(pump, now);
    EXPECT_EQ(Text(PumpDueTime(pump)), "2026-12-07 10:08:00");

    TUkol task = Task(period, 0, 60);
    EXPECT_EQ(Text(TaskInitialLastTime(task, now)), "2026-12-07 10:06:00");
    task.LastTime = now;
    EXPECT_EQ(Text(TaskNextSlot(task).slotTime), "2026-12-07 10:08:30");
  }
}

TEST(BatchRuns, LastAndNextRunTime) {
  struct Case {
    int type, day, phase;
    DateTime t;
    std::string lastRun, nextRun;
  };
  const std::vector<Case> cases = {
      // Weekly, Monday 06:00: ties go to the current week.
      {1, 1, 360, At(2026, 12, 7, 5, 59), "2026-11-30 06:00:00", "2026-12-14 06:00:00"},
      {1, 1, 360, At(2026, 12, 7, 6, 0), "2026-12-07 06:00:00", "2026-12-14 06:00:00"},
      {1, 1, 360, At(2026, 12, 9, 12, 0), "2026-12-07 06:00:00", "2026-12-14 06:00:00"},
      {1, 1, 360, At(2026, 12, 6, 23, 59), "2026-11-30 06:00:00", "2026-12-07 06:00:00"},
      {1, 7, 0, At(2026, 12, 7, 0, 0), "2026-12-06 00:00:00", "2026-12-13 00:00:00"},
      {1, 3, 30, At(2027, 1, 1, 0, 0), "2026-12-30 00:30:00", "2027-01-06 00:30:00"},
      // Daily.
      {0, 1, 10, At(2026, 12, 7, 0, 9, 59), "2026-12-06 00:10:00", "2026-12-08 00:10:00"},
      {0, 1, 10, At(2026, 12, 7, 0, 10), "2026-12-07 00:10:00", "2026-12-08 00:10:00"},
      {0, 1, 10, At(2026, 12, 31, 23, 0), "2026-12-31 00:10:00", "2027-01-01 00:10:00"},
      {7, 1, 10, At(2026, 12, 7, 0, 10), "2026-12-07 00:10:00", "2026-12-08 00:10:00"},  // other types: daily
      // Monthly, counted from the first of the month.
      {2, 1, 120, At(2026, 12, 1, 2, 0), "2026-12-01 02:00:00", "2027-01-01 02:00:00"},
      {2, 1, 120, At(2026, 12, 1, 1, 59), "2026-11-01 02:00:00", "2027-01-01 02:00:00"},
      {2, 1, 1440 + 60, At(2027, 1, 2, 0, 30), "2026-12-02 01:00:00", "2027-02-02 01:00:00"},
      {2, 1, 0, At(2027, 1, 31, 12, 0), "2027-01-01 00:00:00", "2027-02-01 00:00:00"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Text(LastRunTime(c.type, c.day, c.phase, c.t)), c.lastRun) << c.type << " at " << Text(c.t);
    EXPECT_EQ(Text(NextRunTime(c.type, c.day, c.phase, c.t)), c.nextRun) << c.type << " at " << Text(c.t);
  }
}

TEST(BatchRuns, WeeklyWithDayOutsideTheWeekNeverRuns) {
  for (int day : {0, 8, -1}) {
    EXPECT_EQ(LastRunTime(1, day, 10, At(2026, 12, 7, 12, 0)), NeverDate);
    EXPECT_EQ(NextRunTime(1, day, 10, At(2026, 12, 7, 12, 0)), NeverDate);
  }
}

TEST(BatchWindow, DailyMarginsMoveEachEdgeInward) {
  struct Case {
    int margins;
    std::string start, end;
  };
  const std::vector<Case> cases = {
      {0, "07.12.2026+01.00", "07.12.2026+23.00"},
      {1, "07.12.2026+00.00", "07.12.2026+23.00"},
      {2, "07.12.2026+01.00", "08.12.2026+00.00"},
      {3, "07.12.2026+00.00", "08.12.2026+00.00"},
  };
  for (const Case& c : cases) {
    const TBec batch = Batch(0, 1, 10, c.margins, 60);
    EXPECT_EQ(FormatWindowStart(batch, At(2026, 12, 7, 0, 10)), c.start) << c.margins;
    EXPECT_EQ(FormatWindowEnd(batch, At(2026, 12, 8, 0, 10, 5)), c.end) << c.margins;
  }
  EXPECT_EQ(Text(NextRunTime(0, 1, 10, At(2026, 12, 8, 0, 10, 5))), "2026-12-09 00:10:00");
}

TEST(BatchWindow, WeeklyAndMonthly) {
  const TBec weekly = Batch(1, 1, 360, 1, 60);
  EXPECT_EQ(FormatWindowStart(weekly, At(2026, 11, 30, 6, 0)), "30.11.2026+00.00");
  EXPECT_EQ(FormatWindowEnd(weekly, At(2026, 12, 7, 6, 0, 5)), "06.12.2026+23.00");
  EXPECT_EQ(Text(NextRunTime(1, 1, 360, At(2026, 12, 7, 6, 0, 5))), "2026-12-14 06:00:00");

  // Only the monthly window takes the phase off before it truncates to the day.
  const TBec monthly = Batch(2, 1, 120, 1, 60);
  EXPECT_EQ(FormatWindowStart(monthly, At(2026, 11, 1, 2, 0)), "01.11.2026+00.00");
  EXPECT_EQ(FormatWindowEnd(monthly, At(2026, 12, 1, 2, 0, 5)), "30.11.2026+23.00");
  EXPECT_EQ(Text(NextRunTime(2, 1, 120, At(2026, 12, 1, 2, 0, 5))), "2027-01-01 02:00:00");

  // Run on the second at 01:00: the window still reaches from first to first.
  const TBec secondOfMonth = Batch(2, 1, 1440 + 60, 3, 60);
  EXPECT_EQ(FormatWindowStart(secondOfMonth, At(2026, 11, 2, 1, 0)), "01.11.2026+00.00");
  EXPECT_EQ(FormatWindowEnd(secondOfMonth, At(2026, 12, 2, 1, 0, 5)), "01.12.2026+00.00");
}

// Ran Monday, missed Tuesday while stopped, started again Wednesday 00:05.
TEST(BatchWindow, MissedDailyRunIsCaughtUpOnceWithoutTheDaysOwnRun) {
  TBec batch = Batch(0, 1, 10, 3, 60);
  batch.LastTime = At(2026, 12, 7, 0, 10);
  batch.NextTime = NextRunTime(batch.type, batch.day, batch.phase, batch.LastTime);
  const DateTime tick = At(2026, 12, 9, 0, 5, 3);
  ASSERT_LT(batch.NextTime, tick);

  const DateTime previousRun = batch.LastTime;
  batch.LastTime = batch.NextTime;
  batch.NextTime = NextRunTime(batch.type, batch.day, batch.phase, tick);
  EXPECT_EQ(FormatWindowStart(batch, previousRun), "07.12.2026+00.00");
  EXPECT_EQ(FormatWindowEnd(batch, tick), "09.12.2026+00.00");
  EXPECT_EQ(Text(batch.LastTime), "2026-12-08 00:10:00");
  EXPECT_EQ(Text(batch.NextTime), "2026-12-10 00:10:00");
}

}  // namespace
}  // namespace tavro
