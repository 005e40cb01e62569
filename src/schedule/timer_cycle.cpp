#include "schedule/timer_cycle.h"

#include <algorithm>
#include <utility>

#include "jobs/period_arithmetic.h"
#include "schedule/command_lines.h"
#include "support/date_time_text.h"
#include "support/process_path.h"

namespace tavro {
namespace {

constexpr int kIntervalSeconds = kTimerIntervalMs / 1000;
constexpr int kPauseAfterLaunchMs = 2000;
constexpr const char* kSourceNotReady = "the source is not ready";

// The walks of one tick share its time and its context.
class Tick {
 public:
  Tick(const TickContext& context, DateTime now) : c_(context), now_(now) {}

  void WalkPumps();
  void WalkBatches();
  void WalkTasks();
  void WalkReports();

 private:
  void ShowProgress(const char* kind, int number, const char* outcome = "") {
    if (c_.quiet) return;
    c_.display.ShowProgress(DateTimeText(now_) + " " + kind + " " + std::to_string(number) + outcome);
  }
  double ReadGate(const GateRequest& request);
  void Launch(const std::string& program, const std::string& arguments, JobKind kind, int number,
              const std::string& gateTag = {});
  // What the operator sees of a job's launch decision; the status is to be shown again. The
  // command is written into the record's own text, whose room serves the job's every launch.
  JobRecord& Decided(JobKind kind, int number, const std::string& program, const std::string& arguments,
                     LaunchResult result) {
    JobRecord& record = c_.state.Status.Job(kind, number);
    record.lastLaunch = now_;
    record.lastCommand.assign(program).append(1, ' ').append(arguments);
    record.result = result;
    c_.state.Status.changed = true;
    return record;
  }
  // A log entry of the tick's own, whose text a quiet tick does not make.
  template <class MakeText>
  void Log(MakeText&& make) {
    if (!c_.quiet) c_.log.Entry(make());
  }

  const TickContext& c_;
  const DateTime now_;
  // The arguments of the launch being decided, in one string for all of the tick's launches.
  std::string arguments_;
  bool cutShort_ = false;  // an exit or a service stop came during a pause: no further launch
};

void Tick::Launch(const std::string& program, const std::string& arguments, JobKind kind, int number,
                  const std::string& gateTag) {
  const char* kindName = JobKindName(kind);
  JobRecord& record = Decided(kind, number, program, arguments, LaunchResult::Launched);
  if (c_.observer) {
    // The program path alone when there are no arguments.
    c_.observer->OnLaunch({now_, kindName, number, arguments.empty() ? program : record.lastCommand, gateTag});
  }
  RunId run = 0;
  const int result = c_.starter.Launch(program, arguments, FolderOf(program), kShowHidden, &run);
  if (result != 0) record.result = LaunchResult::Failed;
  record.returnValue = result;
  if (run != 0) c_.state.Status.awaited.push_back({run, kind, number, record.lastCommand});
  if (result == 0) {
    Log([&] { return record.lastCommand + " launched successfully"; });
    ShowProgress(kindName, number, " succeded");
    if (!c_.wait.WaitTakingCommands(kPauseAfterLaunchMs)) cutShort_ = true;
  } else {
    Log([&] { return record.lastCommand + " launch failed, return value " + std::to_string(result); });
    ShowProgress(kindName, number, " failed");
  }
}

// An exit or a service stop during the read ends it, which then counts as failed, and the tick after it.
double Tick::ReadGate(const GateRequest& request) {
  if (c_.readDeadline == nullptr) return c_.gates.Gate().Read(request);
  const ReadOutcome outcome =
      c_.readDeadline->Read(c_.gates.Gate(), request, c_.state.Settings.ReadTimeout, c_.log,
                            [this](int milliseconds) { return c_.wait.WaitTakingCommands(milliseconds); });
  if (outcome.stopped) cutShort_ = true;
  return outcome.value;
}

// A value below 0 is how every reader tells a failure (no value found, an unknown tag, a source
// away); 0 is a closed gate.
void NoteReadFailure(JobStatus& status, DateTime now, const std::string& tag, double value) {
  if (value >= 0.0) return;
  status.lastReadError = "read of " + tag + " gave " + NumberText(value);
  status.lastReadErrorTime = now;
  status.changed = true;
}

void Tick::WalkPumps() {
  TPumpy& pumps = c_.state.Pumps;
  const int count = std::min<int>(pumps.count, static_cast<int>(pumps.Items.size()));
  for (int i = 0; i < count && !cutShort_; ++i) {
    TPumpa& pump = pumps.Items[i];
    const int number = i + 1;
    if (!(PumpDueTime(pump) < now_)) continue;
    ShowProgress("pump", number);
    arguments_.clear();
    AppendPumpArguments(arguments_, pump, PumpSlotTime(pump));
    Launch(pump.exename, arguments_, JobKind::Pump, number);
    pump.LastTime = PumpAdvancedLastTime(pump, now_);
    Log([&] { return "Last time for pump " + std::to_string(number) + " set to " + DateTimeText(pump.LastTime); });
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
    Launch(batch.exename, arguments_, JobKind::Batch, number);
  }
}

void Tick::WalkTasks() {
  TUkoly& tasks = c_.state.Tasks;
  const int count = std::min<int>(tasks.count, static_cast<int>(tasks.Items.size()));
  for (int i = 0; i < count && !cutShort_; ++i) {
    TUkol& task = tasks.Items[i];
    const int number = i + 1;
    if (!(TaskDueTime(task) < now_)) continue;
    ShowProgress("task", number);
    // The period is consumed before the gate: a closed gate or a failed start does not repeat it.
    const TaskSlot slot = TaskNextSlot(task);
    task.LastTime = slot.newLastTime;
    arguments_.clear();
    AppendTaskArguments(arguments_, task, slot.slotTime, c_.taskTimeFormat);
    if (task.runningtag.empty()) {
      Launch(task.exename, arguments_, JobKind::Task, number);
      continue;
    }
    const double value = ReadGate(GateRequest{task, number, slot.slotTime});
    if (cutShort_) break;  // given up for the end of the process: after "Closing program..." nothing is said
    NoteReadFailure(c_.state.Status, now_, task.runningtag, value);
    if (value > 0.0) {
      Launch(task.exename, arguments_, JobKind::Task, number, task.runningtag);
    } else {
      JobRecord& record = Decided(JobKind::Task, number, task.exename, arguments_, LaunchResult::Held);
      record.heldTag = task.runningtag;
      record.heldValue = value;
      Log([&] {
        return record.lastCommand + " NOT launched due to value of " + task.runningtag + " (" + NumberText(value) + ")";
      });
    }
  }
}

void Tick::WalkReports() {
  TRepUkoly& reports = c_.state.Reports;
  const CivilDateTime civil = ToCivil(now_);
  const int count = std::min<int>(reports.count, static_cast<int>(reports.Items.size()));
  for (int i = 0; i < count && !cutShort_; ++i) {
    TRepUkol& report = reports.Items[i];
    if (!report.DueToday || report.template_.empty() || report.MinuteValue != civil.minute ||
        report.HourValue != civil.hour) {
      continue;
    }
    arguments_.clear();
    AppendReportArguments(arguments_, report);
    Launch(reports.exename, arguments_, JobKind::Report, i + 1);
    report.DueToday = false;
  }
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

// The ends of the programs started earlier, as the starter learnt them without waiting.
void TakeRunEnds(const TickContext& context) {
  JobStatus& status = context.state.Status;
  for (const RunEnd& end : context.starter.TakeEnds()) {
    const auto awaited = std::find_if(status.awaited.begin(), status.awaited.end(),
                                      [&end](const AwaitedRun& run) { return run.run == end.run; });
    if (awaited == status.awaited.end()) continue;
    status.Job(awaited->kind, awaited->number).lastEnd = RunEndRecord{end.bySignal, end.code, end.milliseconds};
    status.changed = true;
    if (context.state.Settings.LogExit && (end.bySignal || end.code != 0)) {
      context.log.Entry(awaited->command + (end.bySignal ? " ended by signal " : " ended with exit code ") +
                        std::to_string(end.code) + " after " + SecondsText(end.milliseconds) + " s");
    }
    status.awaited.erase(awaited);
  }
  if (const std::uint64_t unwatched = context.starter.Unwatched(); unwatched != status.unwatchedRuns) {
    status.unwatchedRuns = unwatched;
    status.changed = true;
  }
}

}  // namespace

void RunTick(const TickContext& context, DateTime now) {
  const ReadDeadline::Tick sourcesTick(context.readDeadline);  // a source away in it stays away to its end
  // Following the date also clears the stale file of a new day, before anything of that day is
  // written to it (the "Hiding" entry below included).
  context.log.FollowDate(now, kIntervalSeconds);
  if (context.display.HideRequested()) {
    context.log.Entry("Hiding");
    context.display.Hide();
  }
  TakeRunEnds(context);

  if (SecondOfHour(now) <= kIntervalSeconds) {
    context.commands.IniAkceExecute(now);
    if (!context.state.Settings.IniValid) context.commands.StopAkceExecute();
  }

  if (!KeepGateReady(context)) {
    // A source that stays away is told once, not at every tick.
    JobStatus& status = context.state.Status;
    if (status.lastReadError != kSourceNotReady) {
      status.lastReadError = kSourceNotReady;
      status.lastReadErrorTime = now;
      status.changed = true;
    }
    if (context.commands.Running()) status.stopReason = kSourceNotReady;
    context.commands.StopAkceExecute();
  }

  context.commands.ProcessMessages();
  if (!context.commands.Running() || context.commands.Closing()) return;

  Tick tick(context, now);
  tick.WalkPumps();
  tick.WalkBatches();
  tick.WalkTasks();
  tick.WalkReports();
}

}  // namespace tavro
