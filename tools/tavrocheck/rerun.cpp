#include "tavrocheck/rerun.h"

#include <algorithm>
#include <utility>

#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "schedule/timer_cycle.h"
#include "support/clock.h"
#include "support/date_time_text.h"
#include "support/log_file.h"
#include "support/process_facts.h"
#include "support/process_path.h"
#include "tavrocheck/job_slots.h"
#include "tavrocheck/launcher_sources.h"

namespace tavro {
namespace {

// Marks the launcher's own entries of a launch as those of a re-run.
constexpr const char* kRerunMark = "Re-run: ";

// The reading's entries go to the output only; once the launches begin, every entry (the sources'
// own included) goes to the launcher's daily log too.
class RerunLog final : public LogSink {
 public:
  RerunLog(std::ostream& out, Clock& clock) : out_(out, clock) {}
  void Write(const std::string& message, bool stamped) override {
    out_.Write(message, stamped);
    if (daily_ != nullptr) daily_->Write(message, stamped);
  }
  void AlsoTo(LogSink* daily) { daily_ = daily; }

 private:
  StreamLogSink out_;
  LogSink* daily_ = nullptr;
};

std::string JobName(const JobChoice& job) { return job.kind + " " + std::to_string(job.number); }

const TUkol* TaskOf(const LauncherState& state, const JobChoice& job) {
  if (job.kind != "task" || job.number < 1 || job.number > static_cast<int>(state.Tasks.Items.size())) return nullptr;
  return &state.Tasks.Items[static_cast<std::size_t>(job.number - 1)];
}

RerunOutcome Refused(SlotVerdict verdict) {
  switch (verdict) {
    case SlotVerdict::NoSuchJob:
      return RerunOutcome::NoSuchJob;
    case SlotVerdict::NotASlot:
      return RerunOutcome::NotASlot;
    case SlotVerdict::NotDue:
      return RerunOutcome::NotDue;
    case SlotVerdict::TooMany:
    case SlotVerdict::Accepted:
      break;
  }
  return RerunOutcome::TooMany;
}

// One re-run: the file read once, as the launcher reads it, then the chosen slots launched.
class Rerun {
 public:
  Rerun(const RerunSetup& setup, std::ostream& out, std::ostream& notes)
      : setup_(setup),
        notes_(notes),
        log_(out, clock_),
        sources_(state_.Settings, setup.iniFile, log_, clock_, TrialConnection::KeepForRead),
        daily_(LauncherIniFile(setup.iniFile), clock_) {
    state_.Settings.IniFileName = setup.iniFile;
    // Without gates the source has nothing to answer: it is not tried either.
    IniAkceExecute(state_, ReadingContext{log_, setup.now, setup.readGates ? sources_.Trial() : nullptr});
  }

  const LauncherState& State() const { return state_; }

  // The verdict on the file and on a choice of slots; `problem` said when refused.
  std::optional<RerunOutcome> Refusal(const ChosenSlots& chosen) {
    if (!state_.Settings.IniValid) {
      notes_ << "tavrocheck: " << setup_.iniFile << " has errors: the launcher would stay stopped; nothing is run again\n";
      return RerunOutcome::Invalid;
    }
    if (chosen.verdict == SlotVerdict::Accepted) return std::nullopt;
    notes_ << "tavrocheck: " << chosen.problem << "; nothing is run again\n";
    return Refused(chosen.verdict);
  }

  RerunOutcome LaunchAll(const std::vector<std::pair<JobChoice, JobSlot>>& slots) {
    daily_.FollowDate(clock_.Now(), false);
    log_.AlsoTo(&daily_);
    const DateTime first = slots.front().second.slot;
    const DateTime last = slots.back().second.slot;
    const bool oneJob = std::all_of(slots.begin(), slots.end(), [&slots](const auto& slot) {
      return slot.first.kind == slots.front().first.kind && slot.first.number == slots.front().first.number;
    });
    log_.Entry("Re-run asked by tavrocheck (process " + std::to_string(CurrentProcessId()) + "): " +
               (oneJob ? JobName(slots.front().first) : "several jobs") + ", " + std::to_string(slots.size()) + (slots.size() == 1 ? " slot, " : " slots, ") +
               (first == last ? DateTimeText(first) : "from " + DateTimeText(first) + " to " + DateTimeText(last)) +
               (setup_.readGates ? "" : ", gates not read"));
    RerunOutcome outcome = RerunOutcome::Launched;
    for (std::size_t i = 0; i < slots.size(); ++i) {
      const auto& [job, slot] = slots[i];
      const std::string command = slot.program + " " + slot.arguments;
      const TUkol* task = TaskOf(state_, job);
      if (setup_.readGates && task != nullptr && !task->runningtag.empty() && !GateOpen(*task, job, slot, command)) {
        if (outcome == RerunOutcome::Launched) outcome = RerunOutcome::Held;
        continue;
      }
      const int result = setup_.starter.Launch(slot.program, slot.arguments, FolderOf(slot.program), kShowHidden, nullptr);
      if (result != 0) {
        log_.Entry(kRerunMark + command + " launch failed, return value " + std::to_string(result));
        outcome = RerunOutcome::Failed;
        continue;
      }
      log_.Entry(kRerunMark + command + " launched successfully");
      if (i + 1 < slots.size()) clock_.Wait(kPauseAfterLaunchMs);
    }
    return outcome;
  }

 private:
  // As the tick decides it: open above 0; otherwise held, with what a failed read's value means.
  bool GateOpen(const TUkol& task, const JobChoice& job, const JobSlot& slot, const std::string& command) {
    const LauncherSources::Gate gate = sources_.Read(state_.Settings, task, job.number, slot.slot, log_);
    if (gate.read.value > 0.0 && !gate.notReady) return true;
    log_.Entry(kRerunMark + command + " NOT launched due to value of " + task.runningtag + " (" +
               NumberText(gate.read.value) + ")");
    const std::optional<ReadFailure> failure =
        gate.notReady ? std::optional<ReadFailure>(ReadFailure{"the source is not ready"}) : gate.read.failure;
    if (failure) log_.Write(NumberText(gate.read.value) + " means " + failure->Meaning(), false);
    return false;
  }

  const RerunSetup& setup_;
  std::ostream& notes_;
  SystemClock clock_;
  LauncherState state_;
  RerunLog log_;
  LauncherSources sources_;
  DailyLogFile daily_;
};

}  // namespace

RerunOutcome RerunSlots(const RerunSetup& setup, const std::vector<SlotToRun>& slots, std::ostream& out,
                        std::ostream& notes) {
  Rerun rerun(setup, out, notes);
  std::vector<std::pair<JobChoice, JobSlot>> chosen;
  for (const SlotToRun& wanted : slots) {
    ChosenSlots one = ChooseSlots(rerun.State(), wanted.job, wanted.slot, std::nullopt, setup.now);
    if (const std::optional<RerunOutcome> refusal = rerun.Refusal(one)) return *refusal;
    chosen.emplace_back(wanted.job, std::move(one.slots.front()));
  }
  if (chosen.empty()) return RerunOutcome::Launched;
  return rerun.LaunchAll(chosen);
}

RerunOutcome RerunSpan(const RerunSetup& setup, const JobChoice& job, DateTime since, DateTime until,
                       std::ostream& out, std::ostream& notes) {
  Rerun rerun(setup, out, notes);
  ChosenSlots span = ChooseSlots(rerun.State(), job, since, until, setup.now);
  if (const std::optional<RerunOutcome> refusal = rerun.Refusal(span)) return *refusal;
  std::vector<std::pair<JobChoice, JobSlot>> chosen;
  for (JobSlot& slot : span.slots) chosen.emplace_back(job, std::move(slot));
  return rerun.LaunchAll(chosen);
}

}  // namespace tavro
