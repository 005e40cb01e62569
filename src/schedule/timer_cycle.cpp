#include "schedule/timer_cycle.h"

#include <algorithm>

#include "schedule/command_lines.h"
#include "schedule/period_arithmetic.h"
#include "support/date_time_text.h"
#include "support/process_path.h"

namespace tavro {
namespace {

constexpr int kIntervalSeconds = kTimerIntervalMs / 1000;
constexpr int kPauseAfterLaunchMs = 2000;
const std::string kLineBreak = "\r\n";

// The walks of one tick share its time and its context.
class Tick {
 public:
  Tick(const TickContext& context, DateTime now) : c_(context), now_(now) {}

  void WalkPumps();
  void WalkBatches();
  void WalkTasks();
  void WalkReports();

 private:
  void ShowProgress(const char* kind, int number) {
    if (c_.window.ProgramMode()) c_.window.SetPanelText(2, DateTimeText(now_) + " " + kind + " " + std::to_string(number));
  }
  void Launch(const std::string& program, const std::string& arguments, const char* kind, int number,
              const std::string& gateTag = {});
  double GateValue(const TUkol& task, DateTime slotTime, int number);

  const TickContext& c_;
  const DateTime now_;
};

void Tick::Launch(const std::string& program, const std::string& arguments, const char* kind, int number,
                  const std::string& gateTag) {
  const std::string commandText = program + " " + arguments;
  if (c_.observer) c_.observer->OnLaunch({now_, kind, number, CommandLine(program, arguments), gateTag});
  const int result = c_.starter.Launch(program, arguments, FolderOf(program), kShowHidden);
  const std::string status = DateTimeText(now_) + " " + kind + " " + std::to_string(number);
  if (result == 0) {
    c_.log.Entry(commandText + " launched successfully");
    if (c_.window.ProgramMode()) c_.window.SetPanelText(2, status + " succeded");
    c_.clock.Wait(kPauseAfterLaunchMs);
  } else {
    c_.log.Entry(commandText + " launch failed, return value " + std::to_string(result));
    if (c_.window.ProgramMode()) c_.window.SetPanelText(2, status + " failed");
  }
}

void Tick::WalkPumps() {
  TPumpy& pumps = c_.state.Pumps;
  const int count = std::min<int>(pumps.count, static_cast<int>(pumps.Items.size()));
  for (int i = 0; i < count; ++i) {
    TPumpa& pump = pumps.Items[i];
    const int number = i + 1;
    if (!(PumpDueTime(pump) < now_)) continue;
    ShowProgress("pump", number);
    Launch(pump.exename, PumpArguments(pump, PumpSlotTime(pump)), "pump", number);
    pump.LastTime = PumpAdvancedLastTime(pump, now_);
    c_.log.Entry("Last time for pump " + std::to_string(number) + " set to " + DateTimeText(pump.LastTime));
  }
}

void Tick::WalkBatches() {
  TBece& batches = c_.state.Batches;
  const int count = std::min<int>(batches.count, static_cast<int>(batches.Items.size()));
  for (int i = 0; i < count; ++i) {
    TBec& batch = batches.Items[i];
    const int number = i + 1;
    if (!(batch.NextTime < now_)) continue;
    ShowProgress("batch", number);
    const DateTime previousRun = batch.LastTime;
    batch.LastTime = batch.NextTime;
    batch.NextTime = NextRunTime(batch.type, batch.day, batch.phase, now_);
    c_.log.Entry("batch " + std::to_string(number) + " next " + DateTimeText(batch.NextTime));
    const std::string arguments =
        BatchArguments(batch, FormatWindowStart(batch, previousRun), FormatWindowEnd(batch, now_));
    Launch(batch.exename, arguments, "batch", number);
  }
}

double Tick::GateValue(const TUkol& task, DateTime slotTime, int number) {
  const ProgramSettings& s = c_.state.Settings;
  switch (s.SourceMode) {
    case kSourceKord:
      return 1.0;
    case kSourcePhd:
      return c_.readers.ReadPhdValue(task.runningtag, slotTime, s.PhdHost, s.PhdUser, s.PhdPassword);
    case kSourcePi:
      return c_.readers.ReadPiValue(task.runningtag, slotTime, s.PiHost, s.PiUser, s.PiPassword);
    case kSourceIp21:
      return c_.readers.ReadIp21Value(task.runningtag, task.intervallength, slotTime);
    case kSourceMssql:
      return c_.readers.ReadMssqlValue(task.runningtag, task.intervallength, slotTime);
    default:
      c_.log.Entry("Task " + std::to_string(number) + ": defined runningtag " + task.runningtag +
                   " but I am not in KORD, PI, IP21, MSSQL nor PHD mode (" + std::to_string(s.SourceMode) + ")");
      return 1.0;
  }
}

void Tick::WalkTasks() {
  TUkoly& tasks = c_.state.Tasks;
  const int count = std::min<int>(tasks.count, static_cast<int>(tasks.Items.size()));
  for (int i = 0; i < count; ++i) {
    TUkol& task = tasks.Items[i];
    const int number = i + 1;
    if (!(TaskDueTime(task) < now_)) continue;
    ShowProgress("task", number);
    // The period is consumed before the gate: a closed gate or a failed start does not repeat it.
    const TaskSlot slot = TaskNextSlot(task);
    task.LastTime = slot.newLastTime;
    const std::string arguments = TaskArguments(task, slot.slotTime, c_.window.TaskTimeFormat());
    if (task.runningtag.empty()) {
      Launch(task.exename, arguments, "task", number);
      continue;
    }
    const double value = GateValue(task, slot.slotTime, number);
    if (value > 0.0) {
      Launch(task.exename, arguments, "task", number, task.runningtag);
    } else {
      c_.log.Entry(task.exename + " " + arguments + " NOT launched due to value of " + task.runningtag + " (" +
                   NumberText(value) + ")");
    }
  }
}

void Tick::WalkReports() {
  TRepUkoly& reports = c_.state.Reports;
  const CivilDateTime civil = ToCivil(now_);
  const int count = std::min<int>(reports.count, static_cast<int>(reports.Items.size()));
  for (int i = 0; i < count; ++i) {
    TRepUkol& report = reports.Items[i];
    if (!report.DueToday || report.template_.empty() || report.MinuteValue != civil.minute ||
        report.HourValue != civil.hour) {
      continue;
    }
    Launch(reports.exename, ReportArguments(report), "report", i + 1);
    report.DueToday = false;
  }
}

}  // namespace

void RunTick(const TickContext& context) {
  const DateTime now = context.clock.Now();
  context.clock.Wait(100);

  // Following the date also clears the stale file of a new day, before anything of that day is
  // written to it (the "Hiding" entry below included).
  context.log.FollowDate(now, kIntervalSeconds);
  if (context.window.HideRequested()) {
    context.log.Entry("Hiding");
    context.window.Hide();
  }

  if (SecondOfHour(now) <= kIntervalSeconds) {
    context.window.IniAkceExecute();
    if (!context.state.Settings.IniValid) context.window.StopAkceExecute();
  }

  const ProgramSettings& settings = context.state.Settings;
  if (settings.SourceMode == kSourcePi && settings.PiAccess == kPiApi) {
    const std::string error = context.readers.LoadPiApi();
    if (!error.empty()) {
      context.log.Entry("Initialization PI API with error" + kLineBreak + error);
      context.window.StopAkceExecute();
    }
  }
  if (settings.SourceMode == kSourcePi && settings.PiAccess == kPiSdk && !context.readers.InitPiSdk()) {
    context.window.StopAkceExecute();
  }

  context.window.ProcessMessages();
  if (!context.window.Running()) return;

  Tick tick(context, now);
  tick.WalkPumps();
  tick.WalkBatches();
  tick.WalkTasks();
  tick.WalkReports();
}

}  // namespace tavro
