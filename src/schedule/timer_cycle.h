#pragma once
// One tick of the ten-second timer: housekeeping that runs whether or not the launcher is started,
// then, while it runs, the walks of pumps, batches, tasks and reports with their launches.

#include <string>

#include "jobs/launcher_state.h"
#include "schedule/launch_program.h"
#include "sources/gate_reader.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

inline constexpr int kTimerIntervalMs = 10000;

// What the tick needs of the control window.
class TickWindowPort {
 public:
  virtual ~TickWindowPort() = default;
  virtual bool ProgramMode() const = 0;
  virtual bool Running() const = 0;
  virtual bool HideRequested() const = 0;  // HideWindow set and the window still visible
  virtual void Hide() = 0;
  virtual void IniAkceExecute() = 0;
  virtual void StopAkceExecute() = 0;
  virtual void ProcessMessages() = 0;  // commands that arrived meanwhile act before the run test
  // The pause after a successful launch; false when the tick is to end at once (the process ends, or
  // the service stops), its remaining launches waiting for a later tick.
  virtual bool PauseAfterLaunch(int milliseconds) = 0;
  // The status bar's progress panel; only written in program mode.
  virtual void ShowProgress(const std::string& text) = 0;
  // Service mode has no status bar; a service manager may still show the progress.
  virtual void ShowServiceProgress(const std::string& /*text*/) {}
  // False when nothing shows the progress, which is then not even written.
  virtual bool ShowsProgress() const { return true; }
  virtual const std::string& TaskTimeFormat() const = 0;
  // The reader of the source the configuration selects, as of its last reading.
  virtual GateReader& Gate() = 0;
};

// Told of every launch the tick decides on, before the program is started (the launch preview
// prints them).
struct LaunchNotice {
  DateTime tickTime;
  const char* kind;  // "pump", "batch", "task", "report"
  int number;        // position in its table, counted from 1
  std::string commandLine;
  std::string gateTag;  // the task's runningtag when a gate decided; "" otherwise
};

class LaunchObserver {
 public:
  virtual ~LaunchObserver() = default;
  virtual void OnLaunch(const LaunchNotice& notice) = 0;
};

struct TickContext {
  LauncherState& state;
  DatedLogSink& log;
  Clock& clock;
  ProgramStarter& starter;
  TickWindowPort& window;
  LaunchObserver* observer = nullptr;
};

// timrTimer's work; the caller holds the timer off for the whole tick.
void RunTick(const TickContext& context);

}  // namespace tavro
