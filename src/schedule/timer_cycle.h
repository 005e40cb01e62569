#pragma once
// One tick of the ten-second timer: housekeeping that runs whether or not the launcher is started,
// then, while it runs, the walks of pumps, batches, tasks and reports with their launches.

#include <string>

#include "jobs/history_line.h"
#include "jobs/launcher_state.h"
#include "schedule/clock_change.h"
#include "schedule/job_times_keeper.h"
#include "schedule/launch_program.h"
#include "sources/gate_reader.h"
#include "sources/read_deadline.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

inline constexpr int kTimerIntervalMs = 10000;
// The wait between taking the tick's time and its work; whoever runs the tick spends it (see RunTick).
inline constexpr int kTickSettleMs = 100;
// After a program has started, the next launch waits this long, so that programs do not all start at once.
inline constexpr int kPauseAfterLaunchMs = 2000;

// What the tick needs of the control window, by role; the control window plays them all.

// The run state and the commands a tick gives.
class TickCommands {
 public:
  virtual ~TickCommands() = default;
  virtual bool Running() const = 0;
  // Exit was given: the process is ending, and nothing more is launched.
  virtual bool Closing() const = 0;
  // The reading a tick starts, as of the tick's time. Errors stop the launcher; a file valid again
  // starts one that errors alone had stopped.
  virtual void IniAkceExecute(const ZonedTime& readingTime) = 0;
  virtual void StopAkceExecute() = 0;
  virtual void ProcessMessages() = 0;  // commands that arrived meanwhile act before the run test
};

// Where the tick's progress shows: a program's window and status bar, or a service's manager.
class TickDisplay {
 public:
  virtual ~TickDisplay() = default;
  virtual bool HideRequested() const = 0;  // HideWindow set and the window still visible
  virtual void Hide() = 0;
  virtual void ShowProgress(const std::string& text) = 0;
};

// Every wait of a tick: the pause after a launch, a gate read, keeping a source ready, the trial of a
// reading the tick starts.
class TickWait {
 public:
  virtual ~TickWait() = default;
  // Passes `milliseconds` of the timer's clock while the window's commands arrive. Exit, and a
  // service's stop, act at once and end the wait early; any other command is held back until the
  // tick has ended, so nothing changes the tables under the tick. False when the tick is to end
  // (the process ends, or the service stops): the caller finishes what it is at and launches
  // nothing more, the remaining launches waiting for a later tick.
  virtual bool WaitTakingCommands(int milliseconds) = 0;
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
  std::string commandLine;
  std::string gateTag;  // the task's runningtag when a gate decided; "" otherwise
  DateTime slot;        // the slot launched: a task's slot time, a batch's scheduled run, a report's minute
};

class LaunchObserver {
 public:
  virtual ~LaunchObserver() = default;
  virtual void OnLaunch(const LaunchNotice& notice) = 0;
  // A tick found the clock changed since the tick before (the preview lists the changes).
  virtual void OnClockChange(const ClockChange& /*change*/) {}
};

struct TickContext {
  LauncherState& state;
  DatedLogSink& log;
  Clock& clock;
  ProgramStarter& starter;
  TickCommands& commands;
  TickDisplay& display;
  TickWait& wait;
  GateChoice& gates;
  const std::string& taskTimeFormat;  // how a task's slot time is written into its arguments
  LaunchObserver* observer = nullptr;
  ReadDeadline* readDeadline = nullptr;  // none: a gate read runs to its end
  // The preview's ticks: nobody reads their log entries or progress texts, which are then not made
  // (they were half of a year's preview).
  bool quiet = false;
  JobTimesKeeper* jobTimes = nullptr;  // the launcher's: each job's times after each launch decision
  HistoryObserver* history = nullptr;  // the launcher's journal: every slot's outcome and every run's end
};

// timrTimer's work at `tickTime`: every due test, slot and time advance of the tick, and the reading
// it starts, go by it. The caller took it when the timer's interval ended and has let the tick
// settle for kTickSettleMs since (commands that arrived meanwhile have acted); it holds the timer
// off for the whole tick.
void RunTick(const TickContext& context, const TickTime& tickTime);

}  // namespace tavro
