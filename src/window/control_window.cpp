#include "window/control_window.h"

#include <utility>

#include "findings/warnings_entry.h"
#include "jobs/status_metrics.h"
#include "sources/bounded_trial.h"
#include "support/atomic_file.h"
#include "support/date_time_text.h"
#include "support/process_facts.h"
#include "support/process_path.h"
#include "window/status_report.h"
#include "window/switches.h"

namespace tavro {
namespace {

constexpr const char* kErrorsUntilValid = "errors in ini; it starts again at the first reading without them";

}  // namespace

ControlWindow::ControlWindow(ControlWindowServices services, std::vector<std::string> parameters, bool programMode)
    : services_(std::move(services)),
      parameters_(std::move(parameters)),
      programMode_(programMode),
      gate_(&services_.sources.ReaderFor(services_.state.Settings)) {}

void ControlWindow::SetPanelText(Panel panel, const std::string& text) {
  if (!programMode_) {
    if (face_) face_->ServiceStatusChanged(panel, text);
    return;
  }
  panels_.at(static_cast<std::size_t>(panel)) = text;
  if (face_) face_->PanelChanged(panel);
}

void ControlWindow::FormCreate(const std::string& exeName, const std::string& iniFileName) {
  ProgramSettings& settings = services_.state.Settings;
  settings.ExeName = exeName;
  settings.IniFileName = iniFileName.empty() ? ReplaceExtension(exeName, ".ini") : iniFileName;
  // Only the name here: a stale file is cleared by the ticks of a new day's first seconds.
  // The start is what the first tick compares its time with.
  services_.state.LastTick = TakeTickTime(services_.clock);
  services_.log.FollowDate(services_.state.LastTick->Local(), false);
  taskTimeFormat_ = kTaskTimePattern;
  services_.log.Entry("Starting program...");
  settings.SourceMode = kSourceNone;
  IniAkceExecute();
  if (closing_) return;  // an Exit during the reading's trial
  TakeUpEarlierJobTimes();
  SetPanelText(Panel::RunStatus, "Stopped");
  services_.state.Status.stopReason = "not started";
  Journal(HistoryEvent::Stopped, services_.state.Status.stopReason);
  firstActivation_ = true;
  autoStart_ = false;
  hideWindow_ = false;
  PublishStatus();
}

void ControlWindow::TakeUpEarlierJobTimes() {
  JobTimesKeeper* keeper = services_.jobTimes;
  if (keeper == nullptr) return;
  if (const std::optional<JobTimesRecord>& earlier = keeper->Earlier()) {
    const RestartFindings findings = TakeUpJobTimes(services_.state, *earlier, services_.state.LastTick->wall,
                                                    services_.state.Settings.Resume, services_.clock.Zone());
    const std::vector<std::string> entries = RestartEntries(findings, services_.clock.Zone());
    for (const std::string& entry : entries) {
      if (&entry == &entries.front() && !findings.missed.empty()) {
        services_.log.Event(LogEvent::SlotsMissed, "-", entry);
      } else {
        services_.log.Entry(entry);
      }
    }
    const TimeZone& zone = services_.clock.Zone();
    Journal(HistoryEvent::NotRunning, {}, LocalTimeAt(zone, findings.notRunningFrom).local,
            LocalTimeAt(zone, findings.notRunningTo).local);
  }
  jobTimes_ = keeper;
  jobTimes_->WriteAll(services_.state, services_.state.LastTick->wall.Instant());
}

void ControlWindow::PublishStatus() {
  JobStatus& status = services_.state.Status;
  if (!services_.keepStatusFile || !status.changed) return;
  status.changed = false;
  const StatusRecord record = CurrentStatus();
  WriteRecordFile("status file", StatusFileName(services_.state.Settings.IniFileName), StatusRecordText(record),
                  statusProblem_);
  WriteRecordFile("metrics file", MetricsFileName(services_.state.Settings), MetricsText(record), metricsProblem_);
}

void ControlWindow::WriteRecordFile(const char* what, const std::string& path, const std::string& text,
                                    std::string& lastProblem) {
  std::string problem;
  if (ReplaceFileAtomically(path, text, problem)) {
    lastProblem.clear();
  } else if (problem != lastProblem) {
    lastProblem = problem;
    services_.log.Entry("Cannot write the " + std::string(what) + " " + problem);
  }
}

StatusRecord ControlWindow::CurrentStatus() const {
  return MakeStatusRecord(services_.state, StatusFacts{CurrentProcessId(), !programMode_, Running(), closing_,
                                                       services_.clock.ZonedNow(), &services_.clock.Zone()});
}

void ControlWindow::FormActivate() {
  if (!firstActivation_) return;
  IniAkceExecute();
  firstActivation_ = false;
  const bool valid = services_.state.Settings.IniValid;
  if (HasSwitch(parameters_, "H", kAnySwitchChar)) {
    hideWindow_ = valid;
    autoStart_ = valid;
  }
  if (HasSwitch(parameters_, "A", kAnySwitchChar)) autoStart_ = valid;
  if (autoStart_) StartAkceExecute();
  PublishStatus();
}

void ControlWindow::StartAkceUpdate() {
  // Applied only while the window is visible: hidden (and in service mode) the flags keep their values.
  if (!Visible()) return;
  const bool stopped = status_ == RunStatus::Stopped;
  startEnabled_ = stopped;
  iniEnabled_ = stopped;
  stopEnabled_ = !stopped;
}

void ControlWindow::StartAkceExecute() {
  // This Start's own reading does not start the launcher again on its behalf.
  const bool wanted = std::exchange(runWanted_, false);
  if (!services_.state.Settings.IniValid) IniAkceExecute();
  if (!startEnabled_) {
    runWanted_ = wanted;
    return;
  }
  runWanted_ = true;
  if (services_.state.Settings.IniValid) {
    Begin();
    return;
  }
  // Kept from starting by errors in the file: it starts at the first reading without them.
  services_.state.Status.stopReason = kErrorsUntilValid;
  services_.state.Status.changed = true;
}

void ControlWindow::Begin() {
  services_.sources.Starting();
  services_.log.Entry("Starting");
  if (status_ != RunStatus::Running) Journal(HistoryEvent::Started, {});
  status_ = RunStatus::Running;
  services_.state.Status.stopReason.clear();
  services_.state.Status.changed = true;
  SetPanelText(Panel::RunStatus, "Running");
}

void ControlWindow::StopAkceExecute() {
  runWanted_ = false;
  Halt();
}

void ControlWindow::Halt() {
  if (!stopEnabled_) return;
  services_.log.Entry("Stopped");
  SetPanelText(Panel::RunStatus, "Stopped");
  // A stop repeated while stopped (a source that stays away) changes nothing an operator sees.
  if (status_ == RunStatus::Running) {
    services_.state.Status.changed = true;
    Journal(HistoryEvent::Stopped, services_.state.Status.stopReason);
  }
  status_ = RunStatus::Stopped;
}

void ControlWindow::Journal(HistoryEvent event, const std::string& detail, DateTime from, DateTime to) {
  if (services_.history != nullptr) {
    services_.history->Record(event, services_.clock.ZonedNow(), JobKind::Pump, 0, from, to, detail, {});
  }
}

void ControlWindow::IniAkceExecute() { IniAkceExecute(services_.clock.ZonedNow()); }

void ControlWindow::IniAkceExecute(const ZonedTime& readingTime) {
  const DateTime now = readingTime.local;
  GateSources& sources = services_.sources;
  PrepareSourceFunction prepare = PrepareSelectedSource(sources);
  if (services_.readDeadline != nullptr) {
    prepare = BoundedTrial(std::move(prepare), *services_.readDeadline,
                           [this](int milliseconds) { return WaitTakingCommands(milliseconds); });
  }
  ReadingContext context{services_.log, now, prepare, services_.iniCache};
  if (services_.logFindings) {
    context.afterReading = [this, now](const IniFile& ini) {
      const LauncherState& state = services_.state;
      LogChangedFindings(loggedFindings_, {state.Settings.IniFileName, ini, state, now}, services_.log);
    };
  }
  ReadingVerdict verdict;
  try {
    verdict = tavro::IniAkceExecute(services_.state, context);
  } catch (const ReadGivenUp&) {
    return;  // the process ends: what the reading left half done no longer matters
  }
  gate_ = &sources.ReaderFor(services_.state.Settings);
  JobStatus& status = services_.state.Status;
  status.lastReading = readingTime;
  if (jobTimes_ != nullptr) jobTimes_->WriteAll(services_.state, readingTime.Instant());
  status.readingValid = verdict.valid;
  ++(verdict.valid ? status.validReadings : status.invalidReadings);
  status.readingWarningCount = static_cast<int>(loggedFindings_.size());  // the findings of this reading
  status.changed = true;
  if (verdict.valid) {
    SetPanelText(Panel::Configuration, "Enabled");
    if (runWanted_ && !Running()) {
      services_.log.Event(LogEvent::StartedAgain, "-",
                          "Ini valid again: starting, as errors in ini alone kept the launcher stopped");
      Begin();
    }
    return;
  }
  services_.state.Status.stopReason = runWanted_ ? kErrorsUntilValid : "errors in ini";
  if (Running()) {
    services_.log.Event(LogEvent::StoppedByErrors, "-", "Stopped: " + services_.state.Status.stopReason,
                        EventEntry::Unlogged);
  }
  Halt();
  SetPanelText(Panel::Configuration, "Disabled");
  SetPanelText(Panel::Progress, "Errors in ini");
}

void ControlWindow::ExitAkceExecute() {
  services_.log.Entry("Closing program...");
  Ending("Exit command");
  if (face_) face_->Close();
}

void ControlWindow::Ending(const char* reason) {
  if (!closing_) Journal(HistoryEvent::Ended, reason);
  closing_ = true;
  if (jobTimes_ != nullptr) jobTimes_->Alive(services_.clock.InstantNow());
  services_.state.Status.stopReason = reason;
  services_.state.Status.changed = true;
  PublishStatus();
}

void ControlWindow::timrTimer() {
  const TickTime tickTime = TakeTickTime(services_.clock);
  services_.clock.Wait(kTickSettleMs);
  Tick(tickTime);
}

void ControlWindow::Tick(const TickTime& tickTime) {
  RunTick(TickContext{services_.state, services_.log, services_.clock, services_.starter, *this, *this, *this, *this,
                      taskTimeFormat_, services_.observer, services_.readDeadline, services_.quietTicks, jobTimes_,
                      services_.history},
          tickTime);
  PublishStatus();
}

bool ControlWindow::Enabled(Command command) const {
  switch (command) {
    case Command::Start:
      return startEnabled_;
    case Command::Stop:
      return stopEnabled_;
    case Command::ReReadIni:
      return iniEnabled_;
    case Command::Exit:
      return true;
  }
  return false;
}

bool ControlWindow::Execute(Command command) {
  StartAkceUpdate();
  if (!Enabled(command)) return false;
  switch (command) {
    case Command::Start:
      StartAkceExecute();
      break;
    case Command::Stop:
      services_.state.Status.stopReason = "Stop command";
      StopAkceExecute();
      break;
    case Command::ReReadIni:
      IniAkceExecute();
      break;
    case Command::Exit:
      ExitAkceExecute();
      break;
  }
  StartAkceUpdate();
  PublishStatus();
  return true;
}

bool ControlWindow::HideRequested() const { return hideWindow_ && Visible(); }

void ControlWindow::Hide() {
  if (face_) face_->Hide();
}

bool ControlWindow::WaitTakingCommands(int milliseconds) {
  if (face_) return face_->WaitTakingCommands(services_.clock, milliseconds);
  services_.clock.Wait(milliseconds);
  return true;
}

void ControlWindow::ProcessMessages() {
  if (face_) face_->ProcessMessages();
}

}  // namespace tavro
