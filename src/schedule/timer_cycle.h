#pragma once
// One tick of the ten-second timer: housekeeping that runs whether or not the launcher is started,
// then, while it runs, the walks of pumps, batches, tasks and reports with their launches.

#include <string>
#include <string_view>

#include "jobs/launcher_state.h"
#include "schedule/launch_program.h"
#include "sources/gate_reader.h"
#include "sources/read_deadline.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

inline constexpr int kTimerIntervalMs = 10000;
// The wait between taking the tick time and the tick's work.
inline constexpr int kTickSettleMs = 100;

// What the tick needs of the control window, by role; the control window plays them all.

// The run state and the commands a tick gives.
class TickCommands {
 public:
  virtual ~TickCommands() = default;
  virtual bool Running() const = 0;
  // Exit was given: the process is ending, and nothing more is launched.
  virtual bool Closing() const = 0;
  virtual void IniAkceExecute() = 0;
  virtual void StopAkceExecute() = 0;
  virtual void ProcessMessages() = 0;  // commands that arrived meanwhile act before the run test
};

// Where the tick's progress shows: a program's window and status bar, or a service's manager.
class TickDisplay {
 public:
  virtual ~TickDisplay() = default;
  virtual bool HideRequested() const = 0;  // HideWindow set and the window still visible
  virtual void Hide() = 0;
  // False when nothing shows the progress, which is then not even written.
  virtual bool ShowsProgress() const = 0;
  virtual void ShowProgress(const std::string& text) = 0;
};

// The pause after a successful launch; false when the tick is to end at once (the process ends, or
// the service stops), its remaining launches waiting for a later tick.
class LaunchPause {
 public:
  virtual ~LaunchPause() = default;
  virtual bool PauseAfterLaunch(int milliseconds) = 0;
};

// The reader of the source the configuration selects, as of its last reading (which the tick itself
// may renew).
class GateChoice {
 public:
  virtual ~GateChoice() = default;
  virtual GateReader& Gate() = 0;
};

// Told of every launch the tick decides on, before the program is started (the launch preview
// prints them).
struct LaunchNotice {
  DateTime tickTime;
  const char* kind;  // "pump", "batch", "task", "report"
  int number;        // position in its table, counted from 1
  // Views valid during OnLaunch only: a preview passes millions of launches.
  std::string_view commandLine;
  std::string_view gateTag;  // the task's runningtag when a gate decided; "" otherwise
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
  TickCommands& commands;
  TickDisplay& display;
  LaunchPause& pause;
  GateChoice& gates;
  const std::string& taskTimeFormat;  // how a task's slot time is written into its arguments
  LaunchObserver* observer = nullptr;
  ReadDeadline* readDeadline = nullptr;  // none: a gate read runs to its end
  // The caller spent kTickSettleMs waiting for commands just before the tick, so the tick does not
  // wait again and takes as its time the one from before that wait: one wake-up per tick instead of
  // two, the tick period and the tick times unchanged.
  bool settled = false;
};

// timrTimer's work; the caller holds the timer off for the whole tick.
void RunTick(const TickContext& context);

}  // namespace tavro
