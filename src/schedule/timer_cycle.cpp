#include "schedule/timer_cycle.h"

#include <algorithm>
#include <utility>

#include "jobs/period_arithmetic.h"
#include "jobs/report_calendar.h"
#include "jobs/slot_gaps.h"
#include "schedule/command_lines.h"
#include "support/date_time_text.h"
#include "support/process_path.h"

namespace tavro {
namespace {

constexpr const char* kSourceNotReady = "the source is not ready";
constexpr const char* kNoSuchTime = "that local time does not exist: the clock skips it";

void TakeRunEnds(const TickContext& context, const ZonedTime& now);

// The walks of one tick share its time and its context, and what the clock did since the tick
// before.
class Tick {
 public:
  Tick(const TickContext& context, const TickTime& now, const std::optional<TickTime>& previous,
       const std::optional<ClockChange>& change)
      : c_(context), zoned_(now.wall), now_(now.Local()), previous_(previous), change_(change) {}

  void WalkPumps();
  void WalkBatches();
  void WalkTasks();
  void WalkReports();

 private:
  // Tells of the slots of a job that were passed over without a launch, and why.
  void LogPassed(JobKind jobKind, int number, const PassedSlots& passed, const char* why) {
    if (passed.count == 0) return;
    const char* kind = JobKindName(jobKind);
    Journal(HistoryEvent::Passed, jobKind, number, passed.first, passed.last,
            std::to_string(passed.count) + (passed.count == 1 ? " slot: " : " slots: ") + why);
    Log([&] {
      const std::string first = LogStamp(passed.first);  // LogStamp's text lasts until its next call
      return std::string(kind) + " " + std::to_string(number) + ": " + std::to_string(passed.count) +
             (passed.count == 1 ? " slot " + first : " slots from " + first + " to " + LogStamp(passed.last)) +
             " not launched (" + why + ")";
    });
  }
  // What became of a slot, for the launcher's journal; the preview's ticks have none.
  void Journal(HistoryEvent event, JobKind kind, int number, DateTime slot, DateTime until, const std::string& detail,
               const std::string& command = {}) {
    if (c_.history != nullptr) c_.history->Record(event, zoned_, kind, number, slot, until, detail, command);
  }
  // The job's times as this launch decision left them, for a launcher that starts after this one.
  void Keep(JobKind kind, int index) {
    if (c_.jobTimes != nullptr) c_.jobTimes->WriteJob(c_.state, kind, static_cast<std::size_t>(index), zoned_.Instant());
  }
  void LaunchReport(TRepUkol& report, int index, DateTime date);
  // Whether the report is launched at this tick for its minute on `date`: in its minute, or once
  // right after a change of the clock forward by less than kLargeClockChangeMs skipped it.
  bool ReportDue(const TRepUkol& report, int number, DateTime date);
  void ShowProgress(const char* kind, int number, const char* outcome = "") {
    if (c_.quiet) return;
    c_.display.ShowProgress(DateTimeText(now_) + " " + kind + " " + std::to_string(number) + outcome);
  }
  ReadOutcome ReadGate(const GateRequest& request);
  // A task whose gate did not open: held for good, or (retryheld) its failed read to be tried again.
  void Hold(const TUkol& task, int number, const ReadOutcome& read, DateTime slot);
  void ReadAgainLater(const TUkol& task, int number, const ReadOutcome& read, DateTime slot, DateTime until);
  // Below a gate's entry: what its value stands for when the read failed.
  void LogMeaning(const ReadOutcome& read) {
    if (read.failure && !c_.quiet) c_.log.Write(NumberText(read.value) + " means " + read.failure->Meaning(), false);
  }
  void Launch(const std::string& program, const std::string& arguments, JobKind kind, int number, DateTime slot,
              const JobControl& control, const std::string& gateTag = {});
  template <class Job>
  JobControl ControlOf(const Job& job, JobKind kind) const {
    return tavro::ControlOf(job.overlap, job.maxruntime, c_.state.Settings.Control, kind == JobKind::Task);
  }
  // The job's earlier run that has not ended, as of now; none when every run of it has ended.
  const AwaitedRun* StillRunning(JobKind kind, int number);
  std::string RunningText(const AwaitedRun& run) const {
    return "the run started at " + DateTimeText(run.started.local) + " (process " + std::to_string(run.process) +
           ") still runs";
  }
  // With overlap=wait: whether the task's due slot waits for the run before it.
  bool WaitsForRun(const TUkol& task, int number);
  // What the operator sees of a job's launch decision; the status is to be shown again. The
  // command is written into the record's own text, whose room serves the job's every launch.
  JobRecord& Decided(JobKind kind, int number, const std::string& program, const std::string& arguments,
                     LaunchResult result) {
    JobRecord& record = c_.state.Status.Job(kind, number);
    record.lastLaunch = zoned_;
    record.lastCommand.assign(program).append(1, ' ').append(arguments);
    record.result = result;
    record.heldFailure.clear();
    record.readAgainUntil = {};
    c_.state.Status.changed = true;
    return record;
  }
  // A log entry of the tick's own, whose text a quiet tick does not make.
  template <class MakeText>
  void Log(MakeText&& make) {
    if (!c_.quiet) c_.log.Entry(make());
  }

  const TickContext& c_;
  const ZonedTime zoned_;
  const DateTime now_;
  const std::optional<TickTime>& previous_;
  const std::optional<ClockChange>& change_;
  // The arguments of the launch being decided, in one string for all of the tick's launches.
  std::string arguments_;
  bool cutShort_ = false;  // an exit or a service stop came during a pause: no further launch
};

const AwaitedRun* Tick::StillRunning(JobKind kind, int number) {
  std::vector<AwaitedRun>& awaited = c_.state.Status.awaited;
  const auto find = [&] {
    return std::find_if(awaited.begin(), awaited.end(),
                        [&](const AwaitedRun& run) { return run.kind == kind && run.number == number; });
  };
  if (find() == awaited.end()) return nullptr;
  // The tick took the ends when it began; its pauses since may have seen this one end.
  TakeRunEnds(c_, zoned_);
  const auto running = find();
  return running == awaited.end() ? nullptr : &*running;
}

bool Tick::WaitsForRun(const TUkol& task, int number) {
  const AwaitedRun* running = StillRunning(JobKind::Task, number);
  if (running == nullptr) return false;
  const DateTime due = TaskDueTime(task);
  if (const JobRecord* waiting = c_.state.Status.Find(JobKind::Task, number);
      waiting != nullptr && waiting->result == LaunchResult::Waiting && waiting->waitingSlot == due) {
    return true;
  }
  arguments_.clear();
  AppendTaskArguments(arguments_, task, TaskNextSlot(task).slotTime, c_.taskTimeFormat);
  JobRecord& record = Decided(JobKind::Task, number, task.exename, arguments_, LaunchResult::Waiting);
  record.waitingSlot = due;
  Log([&] { return record.lastCommand + " waits: " + RunningText(*running); });
  return true;
}

void Tick::Launch(const std::string& program, const std::string& arguments, JobKind kind, int number, DateTime slot,
                  const JobControl& control, const std::string& gateTag) {
  const char* kindName = JobKindName(kind);
  if (control.overlap != OverlapPolicy::Run) {
    if (const AwaitedRun* running = StillRunning(kind, number)) {
      JobRecord& record = Decided(kind, number, program, arguments, LaunchResult::Skipped);
      ++record.counts.skippedOverlaps;
      Log([&] { return record.lastCommand + " NOT launched: " + RunningText(*running); });
      ShowProgress(kindName, number, " skipped");
      Keep(kind, number - 1);
      return;
    }
  }
  JobRecord& record = Decided(kind, number, program, arguments, LaunchResult::Launched);
  if (c_.observer) {
    // The program path alone when there are no arguments.
    c_.observer->OnLaunch({now_, kindName, number, arguments.empty() ? program : record.lastCommand, gateTag, slot});
  }
  RunId run = 0;
  const int result = c_.starter.Launch(program, arguments, FolderOf(program), kShowHidden, &run);
  // Written as soon as the program has started, before the pause after it: a launcher killed at
  // any moment repeats at its next start at most the launch it was making.
  Keep(kind, number - 1);
  if (result != 0) record.result = LaunchResult::Failed;
  record.returnValue = result;
  Journal(result == 0 ? HistoryEvent::Launched : HistoryEvent::LaunchFailed, kind, number, slot, {},
          result == 0 ? std::string() : std::to_string(result), record.lastCommand);
  if (run != 0) {
    c_.state.Status.awaited.push_back(
        {run, kind, number, record.lastCommand, slot, zoned_, c_.starter.ProcessId(run), control.maxRunMinutes});
    if (control.maxRunMinutes > 0) c_.starter.EndAfter(run, std::int64_t{control.maxRunMinutes} * kMsPerMinute);
  }
  if (result == 0) {
    ++record.counts.launches;
    Log([&] { return record.lastCommand + " launched successfully"; });
    ShowProgress(kindName, number, " succeded");
    if (!c_.wait.WaitTakingCommands(kPauseAfterLaunchMs)) cutShort_ = true;
  } else {
    ++record.counts.failedLaunches;
    if (!c_.quiet) {
      c_.log.Event(LogEvent::LaunchFailed, std::string(kindName) + " " + std::to_string(number),
                   record.lastCommand + " launch failed, return value " + std::to_string(result));
    }
    ShowProgress(kindName, number, " failed");
  }
}

// An exit or a service stop during the read ends it, which then counts as failed, and the tick after it.
ReadOutcome Tick::ReadGate(const GateRequest& request) {
  GateReader& gate = c_.gates.Gate();
  if (c_.readDeadline == nullptr) {
    const double value = gate.Read(request);
    return {value, false, gate.TakeFailure()};
  }
  ReadOutcome outcome = c_.readDeadline->Read(gate, request, c_.state.Settings.ReadTimeout, c_.log,
                                              [this](int milliseconds) { return c_.wait.WaitTakingCommands(milliseconds); });
  if (outcome.stopped) cutShort_ = true;
  return outcome;
}

// "RUN (0)", or for a failed read "RUN (-20): " and what the value means.
std::string GateDetail(const std::string& tag, const ReadOutcome& read) {
  std::string detail = tag + " (" + NumberText(read.value) + ")";
  if (read.failure) detail += ": " + read.failure->Meaning();
  return detail;
}

// A value below 0 is how every reader tells a failure (no value found, an unknown tag, a source
// away), and the reader says which; 0 is a closed gate.
void NoteReadFailure(JobStatus& status, const ZonedTime& now, const std::string& tag, const ReadOutcome& read) {
  if (read.value >= 0.0 && !read.failure) return;
  status.lastReadError = "read of " + tag + " gave " + NumberText(read.value);
  if (read.failure) status.lastReadError += ": " + read.failure->Meaning();
  status.lastReadErrorTime = now;
  ++status.readErrors;
  status.changed = true;
}

void Tick::Hold(const TUkol& task, int number, const ReadOutcome& read, DateTime slot) {
  JobRecord& record = Decided(JobKind::Task, number, task.exename, arguments_, LaunchResult::Held);
  record.heldTag = task.runningtag;
  record.heldValue = read.value;
  if (read.failure) record.heldFailure = read.failure->reason;
  ++(read.failure ? record.counts.heldBySourceFailure : record.counts.heldByValue);
  Log([&] {
    return record.lastCommand + " NOT launched due to value of " + task.runningtag + " (" + NumberText(read.value) + ")";
  });
  LogMeaning(read);
  Journal(read.failure ? HistoryEvent::SourceFailed : HistoryEvent::Held, JobKind::Task, number, slot, {},
          GateDetail(task.runningtag, read), record.lastCommand);
}

// Said at the slot's first failed read; the reads after it fail in silence but for the reader's own entries.
void Tick::ReadAgainLater(const TUkol& task, int number, const ReadOutcome& read, DateTime slot, DateTime until) {
  if (const JobRecord* waiting = c_.state.Status.Find(JobKind::Task, number);
      waiting != nullptr && waiting->readAgainUntil == until) {
    return;
  }
  JobRecord& record = Decided(JobKind::Task, number, task.exename, arguments_, LaunchResult::Held);
  record.heldTag = task.runningtag;
  record.heldValue = read.value;
  record.heldFailure = read.failure->reason;
  record.readAgainUntil = until;
  Log([&] {
    return record.lastCommand + " waits: the read of " + task.runningtag + " failed; it is read again at each tick until " +
           DateTimeText(until);
  });
  LogMeaning(read);
  Journal(HistoryEvent::ReadAgain, JobKind::Task, number, slot, until, GateDetail(task.runningtag, read),
          record.lastCommand);
}

void Tick::WalkPumps() {
  TPumpy& pumps = c_.state.Pumps;
  const int count = std::min<int>(pumps.count, static_cast<int>(pumps.Items.size()));
  for (int i = 0; i < count && !cutShort_; ++i) {
    TPumpa& pump = pumps.Items[i];
    const int number = i + 1;
    if (!(PumpDueTime(pump) < now_)) continue;
    LogPassed(JobKind::Pump, number, PassPumpSlotsThatDoNotExist(pump, now_, c_.clock.Zone()), kNoSuchTime);
    if (!(PumpDueTime(pump) < now_)) continue;
    ShowProgress("pump", number);
    const DateTime slot = PumpSlotTime(pump);
    arguments_.clear();
    AppendPumpArguments(arguments_, pump, slot);
    // Advanced before the start, so that the job times written as the program starts hold it.
    pump.LastTime = PumpAdvancedLastTime(pump, now_);
    Launch(pump.exename, arguments_, JobKind::Pump, number, slot, ControlOf(pump, JobKind::Pump));
    Log([&] { return "Last time for pump " + std::to_string(number) + " set to " + DateTimeText(pump.LastTime); });
    // The slots between the one launched and the next are what a stop or a held-up tick cost.
    const std::int64_t period = std::max<std::int64_t>(pump.launchperiod, 1);
    const std::int64_t between = (PumpSlotTime(pump).ms - slot.ms) / (period * kMsPerMinute) - 1;
    if (between > 0) {
      LogPassed(JobKind::Pump, number,
                {static_cast<int>(between), AddMinutes(slot, period), AddMinutes(PumpSlotTime(pump), -period)},
                "missed while the launcher was stopped or its ticks were held up; the first of them was launched");
    }
  }
}

void Tick::WalkBatches() {
  TBece& batches = c_.state.Batches;
  const int count = std::min<int>(batches.count, static_cast<int>(batches.Items.size()));
  for (int i = 0; i < count && !cutShort_; ++i) {
    TBec& batch = batches.Items[i];
    const int number = i + 1;
    if (!(batch.NextTime < now_)) continue;
    ShowProgress("batch", number);
    const DateTime previousRun = batch.LastTime;
    batch.LastTime = batch.NextTime;
    batch.NextTime = NextRunTime(batch.type, batch.day, batch.phase, now_);
    Log([&] { return "batch " + std::to_string(number) + " next " + DateTimeText(batch.NextTime); });
    arguments_.clear();
    AppendBatchArguments(arguments_, batch, FormatWindowStart(batch, previousRun), FormatWindowEnd(batch, now_));
    Launch(batch.exename, arguments_, JobKind::Batch, number, batch.LastTime, ControlOf(batch, JobKind::Batch));
  }
}

void Tick::WalkTasks() {
  TUkoly& tasks = c_.state.Tasks;
  const int count = std::min<int>(tasks.count, static_cast<int>(tasks.Items.size()));
  for (int i = 0; i < count && !cutShort_; ++i) {
    TUkol& task = tasks.Items[i];
    const int number = i + 1;
    if (!(TaskDueTime(task) < now_)) continue;
    LogPassed(JobKind::Task, number, PassTaskSlotsThatDoNotExist(task, now_, c_.clock.Zone()), kNoSuchTime);
    if (!(TaskDueTime(task) < now_)) continue;
    const JobControl control = ControlOf(task, JobKind::Task);
    if (control.overlap == OverlapPolicy::Wait && WaitsForRun(task, number)) continue;
    ShowProgress("task", number);
    const DateTime due = TaskDueTime(task);
    const DateTime lastTime = task.LastTime;
    // The period is consumed before the gate: a closed gate or a failed start does not repeat it.
    const TaskSlot slot = TaskNextSlot(task);
    task.LastTime = slot.newLastTime;
    arguments_.clear();
    AppendTaskArguments(arguments_, task, slot.slotTime, c_.taskTimeFormat);
    if (task.runningtag.empty()) {
      Launch(task.exename, arguments_, JobKind::Task, number, slot.slotTime, control);
      continue;
    }
    const ReadOutcome read = ReadGate(GateRequest{task, number, slot.slotTime});
    if (cutShort_) break;  // given up for the end of the process: after "Closing program..." nothing is said
    NoteReadFailure(c_.state.Status, zoned_, task.runningtag, read);
    if (read.value > 0.0) {
      Launch(task.exename, arguments_, JobKind::Task, number, slot.slotTime, control, task.runningtag);
      continue;
    }
    // A slot whose read failed is read again at the next ticks, the later slots behind it, until
    // retryheld minutes after its due time; a closed gate is final at once.
    const DateTime until = AddMinutes(due, c_.state.Settings.RetryHeld);
    if (read.failure && now_ < until) {
      task.LastTime = lastTime;
      ReadAgainLater(task, number, read, slot.slotTime, until);
    } else {
      Hold(task, number, read, slot.slotTime);
      Keep(JobKind::Task, i);
    }
  }
}

bool Tick::ReportDue(const TRepUkol& report, int number, DateTime date) {
  const DateTime slot = AddMinutes(date, report.HourValue * 60 + report.MinuteValue);
  const DateTime minuteEnd = AddMinutes(slot, 1);
  if (report.LaunchedOn == date) return false;
  if (date == StartOfDay(now_) && report.DueToday && slot <= now_ && now_ < minuteEnd) return true;
  // Its minute lay wholly between the tick before and this one, on a date it was to run.
  if (!previous_ || !(previous_->Local() < slot) || now_ < minuteEnd ||
      !CalendarMatches(report.day, report.month, report.dayofweek, date)) {
    return false;
  }
  if (change_ && change_->localJumpMs > 0 && change_->localJumpMs < kLargeClockChangeMs) return true;
  Journal(HistoryEvent::Passed, JobKind::Report, number, slot, slot, "1 slot: no tick came within its minute");
  Log([&] {
    return "report " + std::to_string(number) + " of " + LogStamp(slot) + " not launched: no tick came within its minute" +
           (change_ ? " (" + ClockChangeEntry(*change_) + ")" : std::string());
  });
  return false;
}

void Tick::WalkReports() {
  TRepUkoly& reports = c_.state.Reports;
  const int count = std::min<int>(reports.count, static_cast<int>(reports.Items.size()));
  const DateTime today = StartOfDay(now_);
  const DateTime previousDay = previous_ ? StartOfDay(previous_->Local()) : today;
  for (int i = 0; i < count && !cutShort_; ++i) {
    TRepUkol& report = reports.Items[i];
    if (report.template_.empty()) continue;
    // A run missed while no launcher ran (see JobTimesKeeper) comes once, first.
    if (const DateTime missed = std::exchange(report.CatchUpOn, DateTime{}); IsSet(missed) && report.LaunchedOn != missed) {
      LaunchReport(report, i, missed);
      continue;
    }
    const DateTime dates[] = {previousDay, today};
    for (std::size_t d = previousDay == today ? 1 : 0; d < 2; ++d) {
      if (!ReportDue(report, i + 1, dates[d])) continue;
      LaunchReport(report, i, dates[d]);
      break;
    }
  }
}

void Tick::LaunchReport(TRepUkol& report, int index, DateTime date) {
  arguments_.clear();
  AppendReportArguments(arguments_, report);
  // Launched on its date before the start, so that no reading nor clock makes it run twice.
  report.LaunchedOn = date;
  if (date == StartOfDay(now_)) report.DueToday = false;
  Launch(c_.state.Reports.exename, arguments_, JobKind::Report, index + 1,
         AddMinutes(date, report.HourValue * 60 + report.MinuteValue), ControlOf(report, JobKind::Report));
}

// A source that retries its server at every tick keeps to the deadline of a read as well; one that
// does not answer in time is still away, and its gates stay held.
bool KeepGateReady(const TickContext& context) {
  GateReader& gate = context.gates.Gate();
  if (context.readDeadline == nullptr) return gate.KeepReady();
  bool ready = true;
  context.readDeadline->Bound(context.state.Settings.ReadTimeout,
                              [&context](int milliseconds) { return context.wait.WaitTakingCommands(milliseconds); },
                              [&] { ready = gate.KeepReady(); });
  return ready;
}

// "with exit code 3 after 1.5 s", "by signal 9 after 0.2 s".
std::string RunEndDetail(const RunEnd& end) {
  return (end.bySignal ? "by signal " : "with exit code ") + std::to_string(end.code) + " after " +
         SecondsText(end.milliseconds) + " s";
}

// The ends of the programs started earlier, as the starter learnt them without waiting.
void TakeRunEnds(const TickContext& context, const ZonedTime& now) {
  JobStatus& status = context.state.Status;
  for (const RunEnd& end : context.starter.TakeEnds()) {
    const auto awaited = std::find_if(status.awaited.begin(), status.awaited.end(),
                                      [&end](const AwaitedRun& run) { return run.run == end.run; });
    if (awaited == status.awaited.end()) continue;
    JobRecord& job = status.Job(awaited->kind, awaited->number);
    job.lastEnd = RunEndRecord{end.bySignal, end.code, end.milliseconds, end.byLimit};
    if (context.history != nullptr) {
      context.history->Record(HistoryEvent::RunEnded, now, awaited->kind, awaited->number, awaited->slot, {},
                              RunEndDetail(end), {});
    }
    status.changed = true;
    const std::string jobName = std::string(JobKindName(awaited->kind)) + " " + std::to_string(awaited->number);
    if (end.byLimit) {
      ++job.counts.endedByLimit;
      context.log.Event(LogEvent::RunLimit, jobName,
                        awaited->command + " ended after " + std::to_string(awaited->limitMinutes) +
                            " min: run time limit",
                        EventEntry::Stamped);
    } else if (end.bySignal || end.code != 0) {
      context.log.Event(LogEvent::RunFailed, jobName, awaited->command + " ended " + RunEndDetail(end),
                        context.state.Settings.LogExit ? EventEntry::Stamped : EventEntry::Unlogged);
    }
    status.awaited.erase(awaited);
  }
  if (const std::uint64_t unwatched = context.starter.Unwatched(); unwatched != status.unwatchedRuns) {
    status.unwatchedRuns = unwatched;
    status.changed = true;
  }
}

}  // namespace

void RunTick(const TickContext& context, const TickTime& tickTime) {
  LauncherState& state = context.state;
  const ReadDeadline::Tick sourcesTick(context.readDeadline);  // a source away in it stays away to its end
  const std::optional<TickTime> previous = std::exchange(state.LastTick, tickTime);
  const DateTime now = tickTime.Local();
  const std::optional<ClockChange> change = previous ? ClockChangeBetween(*previous, tickTime) : std::nullopt;
  // Housekeeping goes by the date and the hour the tick finds, whatever time the ticks came at.
  const bool newDate = !previous || StartOfDay(previous->Local()) != StartOfDay(now);
  const bool newHour = newDate || ToCivil(previous->Local()).hour != ToCivil(now).hour ||
                       previous->wall.offsetMinutes != tickTime.wall.offsetMinutes;

  // Following the date also clears the stale file of a new date, before anything of that date is
  // written to it (the entries below included).
  context.log.FollowDate(now, newDate);
  // Once a minute the job times say that the launcher still runs: the next start knows since when
  // none ran.
  if (context.jobTimes != nullptr && (!previous || previous->Local().ms / kMsPerMinute != now.ms / kMsPerMinute)) {
    context.jobTimes->Alive(tickTime.wall.Instant());
  }
  if (change) {
    context.log.Entry(ClockChangeEntry(*change));
    if (context.observer != nullptr) context.observer->OnClockChange(*change);
    if (change->localJumpMs <= -kLargeClockChangeMs) TakeTimesAfresh(state, now, context.log);
  }
  if (context.display.HideRequested()) {
    context.log.Entry("Hiding");
    context.display.Hide();
  }
  TakeRunEnds(context, tickTime.wall);

  if (newHour) context.commands.IniAkceExecute(tickTime.wall);

  if (!KeepGateReady(context)) {
    // A source that stays away is told once, not at every tick.
    JobStatus& status = state.Status;
    if (status.lastReadError != kSourceNotReady) {
      status.lastReadError = kSourceNotReady;
      status.lastReadErrorTime = tickTime.wall;
      status.changed = true;
    }
    if (context.commands.Running()) status.stopReason = kSourceNotReady;
    context.commands.StopAkceExecute();
  }

  context.commands.ProcessMessages();
  if (!context.commands.Running() || context.commands.Closing()) return;

  Tick tick(context, tickTime, previous, change);
  tick.WalkPumps();
  tick.WalkBatches();
  tick.WalkTasks();
  tick.WalkReports();
}

}  // namespace tavro
