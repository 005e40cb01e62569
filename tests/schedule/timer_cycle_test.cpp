#include "schedule/timer_cycle.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "support/date_time_text.h"
#include "support/simulated_clock.h"
#include "testing/recording_log.h"
#include "testing/recording_starter.h"

namespace tavro {
namespace {

using testutil::RecordingLog;
using testutil::RecordingStarter;

class FakeWindow final : public TickCommands, public TickDisplay, public TickWait, public GateChoice {
 public:
  bool Running() const override { return running; }
  bool Closing() const override { return closing; }
  bool HideRequested() const override { return hideRequested; }
  void Hide() override { hideRequested = false; }
  void IniAkceExecute(const ZonedTime& /*readingTime*/) override {
    ++readings;
    if (onReading) onReading();
  }
  void StopAkceExecute() override { running = false; }
  void ProcessMessages() override { closing = closing || exitArrives; }
  void ShowProgress(const std::string& text) override { progress.push_back(text); }
  bool WaitTakingCommands(int milliseconds) override {
    clock->Wait(milliseconds);
    return pausesUntilExit < 0 || --pausesUntilExit > 0;
  }
  GateReader& Gate() override { return *gate; }

  bool exitArrives = false;  // an Exit waits among the tick's messages
  bool closing = false;
  bool running = true;
  bool hideRequested = false;
  int readings = 0;
  std::function<void()> onReading;
  std::vector<std::string> progress;
  GateReader* gate = nullptr;
  Clock* clock = nullptr;
  int pausesUntilExit = -1;  // the pause that an exit request cuts short; -1: none
};

// A source that answers every task with one value and records what it was asked.
class FixedGate final : public GateReader {
 public:
  double Read(const GateRequest& request) override {
    asked.push_back(request.task.runningtag + " " + std::to_string(request.task.intervallength) + " " +
                    std::to_string(request.number) + " " + FormatDateTime(kTaskTimePattern, request.slotTime));
    return failure ? Failed(value, *failure) : value;
  }
  bool KeepReady() override { return ready; }

  double value = 1.0;
  std::optional<ReadFailure> failure;  // what the value stands for
  bool ready = true;
  std::vector<std::string> asked;
};

DateTime At(int day, int hour, int minute, int second = 0, int ms = 0) {
  return MakeDateTime(2026, 12, day, hour, minute, second, ms);
}

TPumpa Pump(int launchperiod, int phase, DateTime lastTime) {
  TPumpa pump;
  pump.launchperiod = launchperiod;
  pump.phase = phase;
  pump.intervallength = 60;
  pump.averages = true;
  pump.exename = "/opt/tavro/pump";
  pump.source = "S1";
  pump.target = "T1";
  pump.tagfile = "tags.txt";
  pump.LastTime = lastTime;
  return pump;
}

TUkol Task(int launchperiod, int phase, int intervallength, DateTime lastTime, std::string tag = {}) {
  TUkol task;
  task.launchperiod = launchperiod;
  task.phase = phase;
  task.intervallength = intervallength;
  task.exename = "/opt/tavro/task";
  task.taskname = "Balance";
  task.runningtag = std::move(tag);
  task.LastTime = lastTime;
  return task;
}

class TimerCycle : public ::testing::Test {
 protected:
  void SetUp() override {
    state.Settings.IniValid = true;
    window.gate = &gate;
    window.clock = &clock;
  }
  void AddPump(const TPumpa& pump) {
    state.Pumps.Items.push_back(pump);
    state.Pumps.count = static_cast<int>(state.Pumps.Items.size());
  }
  void AddTask(const TUkol& task) {
    state.Tasks.Items.push_back(task);
    state.Tasks.count = static_cast<int>(state.Tasks.Items.size());
  }
  void AddReport(const TRepUkol& report) {
    state.Reports.Items.push_back(report);
    state.Reports.count = static_cast<int>(state.Reports.Items.size());
    state.Reports.exename = "/opt/tavro/report";
  }
  TickContext Context() { return {state, log, clock, starter, window, window, window, window, format}; }
  // A tick at the clock's time, settled as the window settles it; a state without a tick before
  // was started at that moment.
  void RunTickNow() {
    const TickTime tickTime = TakeTickTime(clock);
    if (!state.LastTick) state.LastTick = tickTime;
    clock.Wait(kTickSettleMs);
    RunTick(Context(), tickTime);
  }
  // A table's case starts from a valid file and nothing logged or started.
  void Fresh(int retryHeld = 0) {
    state = {};
    state.Settings.IniValid = true;
    state.Settings.RetryHeld = retryHeld;
    log.entries.clear();
    starter.started.clear();
  }
  // One tick at the clock's time; the next tick starts one interval after it ended.
  void Tick() {
    RunTickNow();
    clock.Advance(kTimerIntervalMs);
  }

  LauncherState state;
  RecordingLog log;
  SimulatedClock clock;
  RecordingStarter starter;
  FixedGate gate;
  FakeWindow window;
  const std::string format = kTaskTimePattern;
};

TEST_F(TimerCycle, PumpIsDueOnlyStrictlyAfterItsDueTime) {
  AddPump(Pump(60, 5, At(7, 10, 5)));
  clock.Set(At(7, 11, 5, 0, 0));
  Tick();
  EXPECT_TRUE(starter.started.empty());

  Tick();
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(starter.started[0].arguments,
            " /A=PUMP /d1=07.12.2026+11:00 /d2=07.12.2026+11:00 /tS=60 /sN=S1 /tN=T1 /fN=tags.txt /aV");
  EXPECT_EQ(starter.started[0].program, "/opt/tavro/pump");
  EXPECT_EQ(starter.started[0].directory, "/opt/tavro");
  EXPECT_EQ(starter.started[0].showMode, 0);
  EXPECT_EQ(state.Pumps.Items[0].LastTime, At(7, 11, 5));
  EXPECT_TRUE(log.Contains("Last time for pump 1 set to " + DateTimeText(At(7, 11, 5))));
  // The pump's arguments begin with their own blank, so the logged command has two after the program.
  EXPECT_TRUE(log.Contains("/opt/tavro/pump  /A=PUMP /d1=07.12.2026+11:00 /d2=07.12.2026+11:00 /tS=60 /sN=S1 "
                           "/tN=T1 /fN=tags.txt /aV launched successfully"));
}

TEST_F(TimerCycle, AfterAStopTasksCatchUpEverySlotWhilePumpsLaunchOnce) {
  AddPump(Pump(15, 5, At(7, 7, 5)));
  AddTask(Task(15, 5, 15, At(7, 7, 0)));
  clock.Set(At(7, 10, 7, 30));
  for (int i = 0; i < 20; ++i) Tick();

  std::vector<std::string> taskSlots, pumpSlots;
  for (const auto& started : starter.started) {
    (started.program == "/opt/tavro/task" ? taskSlots : pumpSlots).push_back(started.arguments.substr(0, 30));
  }
  ASSERT_EQ(pumpSlots.size(), 1u);
  EXPECT_EQ(pumpSlots[0], " /A=PUMP /d1=07.12.2026+07:15 ");
  EXPECT_EQ(state.Pumps.Items[0].LastTime, At(7, 10, 5));
  // 07:15 ... 10:00: one slot per tick, oldest first, until the due time is no longer past.
  ASSERT_EQ(taskSlots.size(), 12u);
  EXPECT_EQ(taskSlots.front().substr(0, 25), "Balance 07.12.2026+07.15 ");
  EXPECT_EQ(taskSlots.back().substr(0, 25), "Balance 07.12.2026+10.00 ");
  EXPECT_EQ(state.Tasks.Items[0].LastTime, At(7, 10, 0));
}

TEST_F(TimerCycle, SuccessfulLaunchPausesAndFailedLaunchStillAdvances) {
  AddPump(Pump(15, 5, At(7, 9, 50)));
  clock.Set(At(7, 10, 7, 30));
  Tick();
  EXPECT_EQ(clock.WaitedMs(), 100 + 2000);

  starter.result = 2;
  state.Pumps.Items[0].LastTime = At(7, 9, 50);
  const long long before = clock.WaitedMs();
  Tick();
  EXPECT_EQ(clock.WaitedMs() - before, 100);  // no pause after a failed start
  EXPECT_EQ(state.Pumps.Items[0].LastTime, At(7, 10, 5));
  EXPECT_TRUE(log.Contains("/opt/tavro/pump " + starter.started.back().arguments + " launch failed, return value 2"));
}

TEST_F(TimerCycle, GateValueAboveZeroLaunchesAndTheSlotIsConsumedEitherWay) {
  const struct {
    double value;
    bool launched;
    std::string logged;
  } cases[] = {
      {0.0, false, "/opt/tavro/task Balance 07.12.2026+10.00 15 -NOH -NOE NOT launched due to value of RUN (0)"},
      {-20.0, false, "/opt/tavro/task Balance 07.12.2026+10.00 15 -NOH -NOE NOT launched due to value of RUN (-20)"},
      {0.5, true, "/opt/tavro/task Balance 07.12.2026+10.00 15 -NOH -NOE launched successfully"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    Fresh();
    gate.value = c.value;
    AddTask(Task(15, 5, 15, At(7, 9, 45), "RUN"));
    AddTask(Task(15, 5, 15, At(7, 9, 45)));  // no tag: never asked
    clock.Set(At(7, 10, 7, 30));
    Tick();
    EXPECT_EQ(starter.started.size(), c.launched ? 2u : 1u);
    EXPECT_TRUE(log.Contains(c.logged)) << log.entries.back().message;
    EXPECT_EQ(state.Tasks.Items[0].LastTime, At(7, 10, 0));
  }
  EXPECT_EQ(gate.asked, std::vector<std::string>(3, "RUN 15 1 07.12.2026+10.00"));
}

// A failed read (not a closed gate) is told on a line below its entry. With retryheld its slot is
// read again at each tick until retryheld minutes after its due time, the later slots waiting behind
// it; a slot whose time is up is held with one entry. The slots: 10:00 (due 10:05), 10:15 (due 10:20).
TEST_F(TimerCycle, RetryheldReadsAFailedSlotAgainUntilItsTimeIsUp) {
  const struct {
    int retryHeld;
    DateTime back;  // the source fails until then, and then gives `value`
    double value;
    std::vector<std::string> launched;
    int waits, held;
  } cases[] = {
      {0, At(7, 10, 7), 1.0, {"10.15"}, 0, 1},             // no retry
      {10, At(7, 10, 7), 1.0, {"10.00", "10.15"}, 1, 0},   // back in time
      {10, At(7, 10, 0), 0.0, {}, 0, 2},                   // closed gates are not read again
      {10, At(7, 10, 25), 1.0, {"10.15"}, 2, 1},           // too late: the next slot waits in turn
      {30, At(7, 10, 24), 1.0, {"10.00", "10.15"}, 1, 0},  // the later slot waits behind it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(LogStamp(c.back));
    Fresh(c.retryHeld);
    AddTask(Task(15, 5, 15, At(7, 9, 45), "RUN"));
    for (clock.Set(At(7, 10, 5, 5)); clock.Now() < At(7, 10, 26); Tick()) {
      gate.failure = clock.Now() < c.back ? std::optional<ReadFailure>(SourceFailed("down")) : std::nullopt;
      gate.value = gate.failure ? -20.0 : c.value;
    }
    std::vector<std::string> launched;
    for (const auto& started : starter.started) launched.push_back(started.arguments.substr(19, 5));
    EXPECT_EQ(launched, c.launched);
    int waits = 0, held = 0, meanings = 0;
    for (const auto& entry : log.entries) {
      waits += entry.message.find(" waits: the read of RUN failed; it is read again at each tick until ") != std::string::npos;
      held += entry.message.find(" NOT launched due to value of RUN (") != std::string::npos;
      meanings += !entry.stamped && entry.message == "-20 means the source failed: down";
    }
    EXPECT_EQ(waits, c.waits);
    EXPECT_EQ(held, c.held);
    EXPECT_EQ(meanings, c.value > 0.0 ? c.waits + c.held : 0);
  }
}

TEST_F(TimerCycle, ReportRunsOnceInItsMinuteUnlessAReadingRearmsIt) {
  TRepUkol report;
  report.MinuteValue = 0;
  report.HourValue = 5;
  report.template_ = "shift";
  report.DueToday = true;
  AddReport(report);
  window.onReading = [&] { state.Reports.Items[0].DueToday = true; };

  clock.Set(At(7, 4, 59, 55));
  Tick();  // 04:59:55: not its minute
  Tick();  // 05:00:05: the hourly reading re-arms it and it runs
  Tick();  // 05:00:15: no reading, already ran
  Tick();  // 05:00:25
  ASSERT_EQ(starter.started.size(), 1u);
  EXPECT_EQ(starter.started[0].arguments, "A:shift");
  EXPECT_EQ(starter.started[0].program, "/opt/tavro/report");
  EXPECT_FALSE(state.Reports.Items[0].DueToday);
  EXPECT_EQ(window.readings, 1);
}

// The first tick of each hour reads, wherever in the hour it falls; the others do not. (What the
// reading's errors do is the window's: ControlWindowTest.StartsAgainAfterErrors...)
TEST_F(TimerCycle, HourlyReadingAtTheFirstTickOfEachHour) {
  const struct {
    DateTime before, tick;
    int readings;
  } cases[] = {
      {At(7, 5, 59, 58), At(7, 6, 0, 8), 1},
      {At(7, 6, 0, 0), At(7, 6, 0, 10), 0},
      {At(7, 5, 59, 50), At(7, 6, 0, 25), 1},  // a long tick before the hour
      {At(7, 23, 59, 59), At(8, 0, 0, 11), 1},  // and before midnight
      {At(7, 6, 10, 0), At(7, 6, 59, 59), 0},
  };
  for (const auto& c : cases) {
    window.readings = 0;
    clock.Set(c.before);
    state.LastTick = TakeTickTime(clock);
    clock.Set(c.tick);
    RunTickNow();
    EXPECT_EQ(window.readings, c.readings) << LogStamp(c.tick);
  }
}

TEST_F(TimerCycle, StoppedLauncherStillFollowsTheDateAndRereadsButLaunchesNothing) {
  window.running = false;
  state.Settings.IniValid = true;
  AddPump(Pump(15, 5, At(7, 9, 0)));
  clock.Set(At(7, 23, 59, 54));
  state.LastTick = TakeTickTime(clock);
  clock.Set(At(8, 0, 0, 4));
  Tick();
  EXPECT_TRUE(starter.started.empty());
  EXPECT_EQ(state.Pumps.Items[0].LastTime, At(7, 9, 0));
  ASSERT_EQ(log.followed.size(), 1u);
  EXPECT_EQ(log.followed[0], At(8, 0, 0, 4));
  EXPECT_EQ(window.readings, 1);
}

TEST_F(TimerCycle, ProgressTextsTellTheJobAndItsOutcome) {
  AddPump(Pump(15, 5, At(7, 9, 50)));
  clock.Set(At(7, 10, 7, 30));
  Tick();
  const std::string when = DateTimeText(At(7, 10, 7, 30));
  EXPECT_EQ(window.progress, (std::vector<std::string>{when + " pump 1", when + " pump 1 succeded"}));
}

TEST_F(TimerCycle, HidingIsLoggedAfterTheDateIsFollowed) {
  window.hideRequested = true;
  clock.Set(At(8, 0, 0, 2));
  Tick();
  ASSERT_FALSE(log.entries.empty());
  EXPECT_EQ(log.entries[0].message, "Hiding");
  EXPECT_EQ(log.followed.size(), 1u);
  EXPECT_FALSE(window.hideRequested);
}

// An exit during the pause after a launch ends the tick there: the launched job's times are
// advanced and logged, the other due jobs wait. An exit among the tick's messages, before the
// walks, launches nothing at all.
TEST_F(TimerCycle, AnExitEndsTheTickAfterTheLaunchInProgress) {
  const struct {
    bool atTheStart;
    int pausesUntilExit;
    std::size_t launches;
  } cases[] = {{false, 2, 2}, {true, -1, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.atTheStart ? "at the start" : "in a pause");
    state = {};
    starter.started.clear();
    for (int i = 0; i < 3; ++i) AddPump(Pump(15, 5, At(7, 9, 50)));
    AddTask(Task(15, 5, 15, At(7, 9, 45)));
    window.exitArrives = c.atTheStart;
    window.pausesUntilExit = c.pausesUntilExit;
    clock.Set(At(7, 10, 7, 30));
    Tick();
    ASSERT_EQ(starter.started.size(), c.launches);
    EXPECT_EQ(state.Pumps.Items[1].LastTime, c.launches == 2 ? At(7, 10, 5) : At(7, 9, 50));
    EXPECT_EQ(state.Pumps.Items[2].LastTime, At(7, 9, 50));
    EXPECT_EQ(state.Tasks.Items[0].LastTime, At(7, 9, 45));
  }
  EXPECT_TRUE(log.Contains("Last time for pump 2 set to " + DateTimeText(At(7, 10, 5))));
}

TEST_F(TimerCycle, ASourceThatCannotBeKeptReadyStopsTheLauncherAtEveryTick) {
  gate.ready = false;
  clock.Set(At(7, 10, 30));
  Tick();
  EXPECT_FALSE(window.running);
  AddTask(Task(15, 5, 15, At(7, 9, 45)));
  window.running = true;
  Tick();
  EXPECT_FALSE(window.running);
  EXPECT_TRUE(starter.started.empty());
}

// Three tasks launched in one tick; at the next tick the first has exited 3, the second was killed
// by signal 9, the third still runs. The ends reach the jobs' records; logexit logs the failed ones.
TEST_F(TimerCycle, RunEndsReachTheirJobsAndLogexitLogsTheFailedOnes) {
  for (const bool logExit : {false, true}) {
    SCOPED_TRACE(logExit);
    Fresh();
    state.Settings.LogExit = logExit;
    for (int i = 0; i < 3; ++i) AddTask(Task(15, 5, 15, At(7, 9, 45)));
    clock.Set(At(7, 10, 7, 30));
    Tick();
    ASSERT_EQ(state.Status.awaited.size(), 3u);
    starter.ends = {{2, true, 9, 1500}, {1, false, 3, 250}};
    Tick();
    const JobRecord* first = state.Status.Find(JobKind::Task, 1);
    const JobRecord* second = state.Status.Find(JobKind::Task, 2);
    const JobRecord* third = state.Status.Find(JobKind::Task, 3);
    ASSERT_TRUE(first && second && third && first->lastEnd && second->lastEnd);
    EXPECT_EQ(first->lastEnd->code, 3);
    EXPECT_FALSE(first->lastEnd->bySignal);
    EXPECT_TRUE(second->lastEnd->bySignal);
    EXPECT_EQ(second->lastEnd->milliseconds, 1500);
    EXPECT_EQ(third->result, LaunchResult::Launched);
    EXPECT_FALSE(third->lastEnd);
    ASSERT_EQ(state.Status.awaited.size(), 1u);
    const std::string command = "/opt/tavro/task Balance 07.12.2026+10.00 15 -NOH -NOE";
    EXPECT_EQ(log.Contains(command + " ended with exit code 3 after 0.3 s"), logExit);
    EXPECT_EQ(log.Contains(command + " ended by signal 9 after 1.5 s"), logExit);
  }
}

// A job whose first run goes on over two more slots, then ends; one tick more. The policies, the
// job's own over the program's, as launches, log entries and counts; wait keeps the task's slot.
TEST_F(TimerCycle, OverlapPoliciesDecideTheSlotsOfAJobStillRunning) {
  struct Case {
    bool pump;
    const char* own;
    OverlapPolicy program;
    std::size_t startsWhileRunning, startsAfter;
    std::uint64_t skipped;
    int waitEntries;
  };
  const Case cases[] = {
      {false, "", OverlapPolicy::Run, 3, 4, 0, 0},
      {false, "SKIP", OverlapPolicy::Run, 1, 2, 2, 0},
      {false, "", OverlapPolicy::Skip, 1, 2, 2, 0},
      {false, "run", OverlapPolicy::Skip, 3, 4, 0, 0},
      {false, "nonsense", OverlapPolicy::Skip, 1, 2, 2, 0},
      {false, "wait", OverlapPolicy::Run, 1, 2, 0, 1},
      {true, "wait", OverlapPolicy::Run, 1, 2, 2, 0},  // a pump skips instead
      {true, "", OverlapPolicy::Run, 3, 4, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.pump ? "pump " : "task ") + c.own + " " + kOverlapNames[static_cast<int>(c.program)]);
    Fresh();
    state.Settings.Control.overlap = c.program;
    if (c.pump) {
      AddPump(Pump(1, 0, At(7, 10, 6)));
      state.Pumps.Items[0].overlap = c.own;
    } else {
      AddTask(Task(1, 0, 1, At(7, 10, 6)));
      state.Tasks.Items[0].overlap = c.own;
    }
    const JobKind kind = c.pump ? JobKind::Pump : JobKind::Task;
    for (int minute = 7; minute <= 9; ++minute) {
      clock.Set(At(7, 10, minute, 30));
      Tick();
    }
    EXPECT_EQ(starter.started.size(), c.startsWhileRunning);
    const JobRecord& record = *state.Status.Find(kind, 1);
    EXPECT_EQ(record.counts.skippedOverlaps, c.skipped);
    const std::string running = ": the run started at " + DateTimeText(At(7, 10, 7, 30)) + " (process 1001) still runs";
    int waits = 0, skips = 0;
    for (const std::string& message : log.Messages()) {
      waits += message.ends_with(" waits" + running);
      skips += message.ends_with(" NOT launched" + running);
    }
    EXPECT_EQ(waits, c.waitEntries);
    EXPECT_EQ(skips, static_cast<int>(c.skipped));
    if (c.waitEntries > 0) {
      EXPECT_EQ(record.result, LaunchResult::Waiting);
    }
    starter.ends = {{1, false, 0, 150000}};
    clock.Set(At(7, 10, 10, 30));
    Tick();
    ASSERT_EQ(starter.started.size(), c.startsAfter);
    // The slot that waited is the one launched once the run has ended.
    if (c.waitEntries > 0) {
      EXPECT_NE(starter.started.back().arguments.find("07.12.2026+10.08"), std::string::npos);
    }
  }
}

// The run time limit goes to the starter with each watched launch, the job's own over the program's
// (0: none); an end at the limit is logged whatever logexit says, and counted.
TEST_F(TimerCycle, RunTimeLimitsReachTheStarterAndTheirEndsAreLoggedAndCounted) {
  state.Settings.Control.maxRunMinutes = 5;
  for (const std::int32_t own : {kMaxRunTimeAsProgram, 0, 20, -7}) {
    TUkol task = Task(15, 5, 15, At(7, 9, 45));
    task.maxruntime = own;  // below 0: the program's
    AddTask(task);
  }
  clock.Set(At(7, 10, 7, 30));
  Tick();
  using Limits = std::vector<std::pair<RunId, std::int64_t>>;
  EXPECT_EQ(starter.limits, (Limits{{1, 5 * 60000}, {3, 20 * 60000}, {4, 5 * 60000}}));
  starter.ends = {{3, true, 15, 1200000, true}, {4, false, 3, 100}};
  Tick();
  const std::string command = "/opt/tavro/task Balance 07.12.2026+10.00 15 -NOH -NOE";
  EXPECT_TRUE(log.Contains(command + " ended after 20 min: run time limit"));
  EXPECT_FALSE(log.Contains(command + " ended with exit code 3 after 0.1 s"));  // logexit=0
  EXPECT_EQ(state.Status.Find(JobKind::Task, 3)->counts.endedByLimit, 1u);
  EXPECT_TRUE(state.Status.Find(JobKind::Task, 3)->lastEnd->byLimit);
  EXPECT_EQ(state.Status.Find(JobKind::Task, 4)->counts.endedByLimit, 0u);
}

// What an operator sees of each launch decision, and that a tick where nothing happens changes
// nothing (the status file is then not rewritten).
TEST_F(TimerCycle, StatusRecordsEachDecisionAndAnIdleTickChangesNothing) {
  AddTask(Task(15, 5, 15, At(7, 9, 45), "RUN"));
  AddPump(Pump(15, 5, At(7, 9, 50)));
  gate.value = -20.0;
  gate.failure = SourceFailed("down");
  starter.result = 2;
  clock.Set(At(7, 10, 7, 30));
  Tick();
  const JobRecord* task = state.Status.Find(JobKind::Task, 1);
  const JobRecord* pump = state.Status.Find(JobKind::Pump, 1);
  ASSERT_TRUE(task && pump);
  EXPECT_EQ(task->result, LaunchResult::Held);
  EXPECT_EQ(task->heldTag, "RUN");
  EXPECT_EQ(task->heldFailure, "down");
  EXPECT_EQ(task->lastLaunch->local, At(7, 10, 7, 30));
  EXPECT_EQ(pump->result, LaunchResult::Failed);
  EXPECT_EQ(pump->returnValue, 2);
  EXPECT_EQ(state.Status.lastReadError, "read of RUN gave -20: the source failed: down");
  EXPECT_TRUE(state.Status.awaited.empty());  // a failed start has no end to wait for
  state.Status.changed = false;
  Tick();
  EXPECT_FALSE(state.Status.changed);
}

// The journal hears what became of each slot, told apart as the status tells it, and each run's end
// with the slot it was launched for. The slot: 10:00 (due 10:05).
TEST_F(TimerCycle, EverySlotOutcomeAndRunEndGoesToTheJournal) {
  class Journal final : public HistoryObserver {
   public:
    void Record(HistoryEvent event, const ZonedTime&, JobKind kind, int number, DateTime slot, DateTime until,
                const std::string& detail, const std::string& command) override {
      lines.push_back(std::string(HistoryEventName(event)) + "|" + JobKindName(kind) + " " + std::to_string(number) +
                      "|" + DateTimeText(slot) + "|" + (IsSet(until) ? DateTimeText(until) : "") + "|" + detail +
                      "|" + command);
    }
    std::vector<std::string> lines;
  };
  const std::string command = "|/opt/tavro/task Balance 07.12.2026+10.00 15 -NOH -NOE";
  const std::string slot = "|" + DateTimeText(At(7, 10, 0)) + "|";
  const struct {
    double value;
    std::optional<ReadFailure> failure;
    int result;
    int retryHeld;
    std::string line;
  } cases[] = {
      {1.0, std::nullopt, 0, 0, "launched|task 1" + slot + "|" + command},
      {1.0, std::nullopt, 2, 0, "launch failed|task 1" + slot + "|2" + command},
      {0.0, std::nullopt, 0, 0, "held|task 1" + slot + "|RUN (0)" + command},
      {-20.0, SourceFailed("down"), 0, 0, "source failed|task 1" + slot + "|RUN (-20): the source failed: down" + command},
      {-20.0, SourceFailed("down"), 0, 30,
       "read again|task 1" + slot + DateTimeText(At(7, 10, 35)) + "|RUN (-20): the source failed: down" + command},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    Fresh(c.retryHeld);
    gate.value = c.value;
    gate.failure = c.failure;
    starter.result = c.result;
    AddTask(Task(15, 5, 15, At(7, 9, 45), "RUN"));
    Journal journal;
    clock.Set(At(7, 10, 7, 30));
    TickContext context = Context();
    context.history = &journal;
    RunTick(context, TakeTickTime(clock));
    EXPECT_EQ(journal.lines, std::vector<std::string>{c.line});
    if (c.result != 0 || c.value <= 0) continue;
    starter.ends = {{1, false, 3, 250}};
    RunTick(context, TakeTickTime(clock));
    EXPECT_EQ(journal.lines.back(), "run ended|task 1" + slot + "|with exit code 3 after 0.3 s|");
  }
}

}  // namespace
}  // namespace tavro
