#pragma once
// The control window without a toolkit: run state, the four commands and their enabling rule, the
// three status-bar panels, creation, first activation, hiding and the timer tick. Faces (the Win32
// window, the terminal window, headless) draw it and forward input through Execute().

#include <array>
#include <string>
#include <vector>

#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "jobs/status_record.h"
#include "schedule/launch_program.h"
#include "schedule/timer_cycle.h"
#include "sources/gate_reader.h"
#include "sources/read_deadline.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

enum class RunStatus { Stopped = 0, Running = 2 };

// The status bar, left to right.
enum class Panel {
  Configuration = 0,  // "Enabled" or "Disabled"
  RunStatus = 1,      // "Stopped" or "Running"
  Progress = 2,       // "Errors in ini", or the progress of launches
};

// What the model needs of whatever shows it.
class WindowFace {
 public:
  virtual ~WindowFace() = default;
  virtual bool Visible() const = 0;
  virtual void Hide() = 0;
  virtual void Close() = 0;            // ends the message loop, and so the process
  virtual void ProcessMessages() = 0;  // lets pending commands act (they call back into the model)
  // A wait of the tick, as TickWait::WaitTakingCommands says; a face that takes no commands just
  // lets the time pass.
  virtual bool WaitTakingCommands(Clock& clock, int milliseconds) {
    clock.Wait(milliseconds);
    return true;
  }
  virtual void PanelChanged(Panel /*panel*/) {}
  // Service mode has no status bar; a service manager may still show what the panels would say.
  virtual void ServiceStatusChanged(Panel /*panel*/, const std::string& /*text*/) {}
};

enum class Command { Start, Stop, ReReadIni, Exit };

struct ControlWindowServices {
  LauncherState& state;
  DatedLogSink& log;
  Clock& clock;
  ProgramStarter& starter;
  GateSources& sources;
  LaunchObserver* observer = nullptr;
  IniFileCache* iniCache = nullptr;  // the preview's; the launcher reads the file afresh
  ReadDeadline* readDeadline = nullptr;  // the launcher's; none: a gate read runs to its end
  bool logFindings = false;  // the launcher's readings log their findings; the preview's need not
  bool keepStatusFile = false;  // the launcher's: the status file beside the configuration file
  bool quietTicks = false;  // the preview's: see TickContext::quiet
  JobTimesKeeper* jobTimes = nullptr;  // the launcher's: job times for the next start
  HistoryObserver* history = nullptr;  // the launcher's journal: starts, stops, ends and the ticks' outcomes
};

class ControlWindow final : public TickCommands, public TickDisplay, public TickWait, public GateChoice {
 public:
  // parameters: the command line after the program name; programMode as start-up chose it.
  ControlWindow(ControlWindowServices services, std::vector<std::string> parameters, bool programMode);

  void AttachFace(WindowFace* face) { face_ = face; }

  // iniFileName: empty for the file beside the executable (tavrocheck names another).
  void FormCreate(const std::string& exeName, const std::string& iniFileName = {});
  void FormActivate();
  void StartAkceUpdate();
  void StartAkceExecute();
  void StopAkceExecute() override;
  void IniAkceExecute();  // the command: as of the clock's time
  void IniAkceExecute(const ZonedTime& readingTime) override;
  void ExitAkceExecute();
  // The process is to end (Exit, a service's stop): nothing more is launched, and the status says
  // why the launcher ended.
  void Ending(const char* reason);
  // The timer fired, where nothing waited for it (the Win32 timer, the preview): the tick's time is
  // taken, the tick settles, then runs.
  void timrTimer();
  // A tick at `tickTime`, as RunTick says: the caller has let it settle since.
  void Tick(const TickTime& tickTime);

  // A command from the menu, a shortcut or a signal: carried out only while enabled. Returns
  // false when the enabling rule refused it.
  bool Execute(Command command);
  bool Enabled(Command command) const;

  bool Running() const override { return status_ == RunStatus::Running; }
  bool Closing() const override { return closing_; }
  // The clock the timer runs by: its ticks, and the pause after a launch.
  Clock& TimerClock() const { return services_.clock; }
  const std::string& PanelText(Panel panel) const { return panels_.at(static_cast<std::size_t>(panel)); }
  bool HideWindow() const { return hideWindow_; }
  // When the configuration was last read.
  std::optional<ZonedTime> LastReading() const { return services_.state.Status.lastReading; }
  // The status as the status file holds it, at this moment.
  StatusRecord CurrentStatus() const;

  // What the timer's tick needs of the window.
  void ProcessMessages() override;
  bool HideRequested() const override;
  void Hide() override;
  void ShowProgress(const std::string& text) override { SetPanelText(Panel::Progress, text); }
  bool WaitTakingCommands(int milliseconds) override;
  GateReader& Gate() override { return *gate_; }

 private:
  bool Visible() const { return face_ != nullptr && face_->Visible(); }
  // Written only in program mode: a service has no status bar (its face hears the texts).
  void SetPanelText(Panel panel, const std::string& text);
  // Rewrites the status file when something in it has changed since it was last written.
  void PublishStatus();
  // One of its files; a failure is logged once until the file is written again.
  void WriteRecordFile(const char* what, const std::string& path, const std::string& text, std::string& lastProblem);
  // At the start: what an earlier run left, told and (with resume) taken up.
  void TakeUpEarlierJobTimes();
  // Start and Stop without the commands' own part: whether the launcher is to run is left as it is.
  void Begin();
  void Halt();
  // A line of the launcher's own in its journal, at this moment.
  void Journal(HistoryEvent event, const std::string& detail, DateTime from = {}, DateTime to = {});

  ControlWindowServices services_;
  std::vector<std::string> parameters_;
  WindowFace* face_ = nullptr;
  RunStatus status_ = RunStatus::Stopped;
  bool programMode_;
  GateReader* gate_;
  std::array<std::string, 3> panels_;
  bool startEnabled_ = true, stopEnabled_ = true, iniEnabled_ = true;
  bool firstActivation_ = false;
  bool autoStart_ = false;
  bool hideWindow_ = false;
  bool closing_ = false;
  // Started, and not stopped since by an operator (Stop, a signal, the service's stop): a reading
  // with errors stops the launcher only until a reading finds the file valid again.
  bool runWanted_ = false;
  std::string taskTimeFormat_;
  std::vector<std::string> loggedFindings_;  // the lines of the findings last logged
  std::string statusProblem_;  // why the status file could not be written last time, said once
  std::string metricsProblem_;  // the same of the metrics file
  // The job times are written once the start has taken up what an earlier run left.
  JobTimesKeeper* jobTimes_ = nullptr;
};

}  // namespace tavro
