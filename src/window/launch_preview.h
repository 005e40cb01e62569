#pragma once
// "What will run, when, with which arguments": a launcher started with "A" at a given time, with the
// real reading and the real timer cycle on a simulated clock, every start succeeding and every gate
// open. One line per launch: tick time, TAB, kind and number, TAB, command line, and for a gated
// task TAB "gated by " and its tag.

#include <ostream>
#include <string>

#include "config/ini_file_cache.h"
#include "jobs/launcher_state.h"
#include "schedule/launch_program.h"
#include "sources/open_gates.h"
#include "support/date_time.h"
#include "support/log_sink.h"
#include "support/simulated_clock.h"
#include "window/control_window.h"

namespace tavro {

// The launcher the preview runs: its log keeps nothing and no face shows its progress.
class SimulatedLauncher {
 public:
  // Created, first activated and started at `start` as "tavrorun -A" would be; the first tick comes
  // one interval later.
  SimulatedLauncher(const std::string& iniFileName, DateTime start, LaunchObserver* observer = nullptr);
  SimulatedLauncher(const SimulatedLauncher&) = delete;
  SimulatedLauncher& operator=(const SimulatedLauncher&) = delete;

  // Whether the file was free of errors at the start (an invalid file launches nothing).
  bool Valid() const { return valid_; }
  // The jobs as the first reading took them.
  const LauncherState& State() const { return state_; }
  DateTime Now() { return clock_.Now(); }
  std::int64_t InstantNow() { return clock_.InstantNow(); }
  // One tick, then one interval: the timer's next tick comes one interval after a tick ends.
  void Tick();

 private:
  class DiscardedLog final : public DatedLogSink {
   public:
    void Write(const std::string&, bool) override {}
    void FollowDate(DateTime, bool) override {}
    const std::string& LogFileName() const override { return name_; }

   private:
    std::string name_;
  };
  class SucceedingStarter final : public ProgramStarter {
   public:
    int Launch(const std::string&, const std::string&, const std::string&, std::uint16_t, RunId*) override {
      return 0;
    }
  };
  class VisibleFace final : public WindowFace {
   public:
    bool Visible() const override { return true; }
    void Hide() override {}
    void Close() override {}
    void ProcessMessages() override {}
  };

  // Real time runs on, read in the system's zone as the launcher reads it: the preview crosses the
  // changes of daylight saving as the launcher will.
  SystemTimeZone zone_;
  SimulatedClock clock_;
  LauncherState state_;
  DiscardedLog log_;
  SucceedingStarter starter_;
  OpenGates sources_;
  // The hourly re-reading still runs (it re-arms the reports), on the file parsed once.
  IniFileCache cache_;
  VisibleFace face_;
  ControlWindow window_;
  bool valid_ = false;
};

// Writes one line per launch, as the preview prints them, in blocks of many lines: a year's preview
// is gigabytes.
class PrintedLaunches final : public LaunchObserver {
 public:
  explicit PrintedLaunches(std::ostream& out) : out_(out) {}
  PrintedLaunches(const PrintedLaunches&) = delete;
  PrintedLaunches& operator=(const PrintedLaunches&) = delete;
  ~PrintedLaunches() override { Flush(); }
  void OnLaunch(const LaunchNotice& notice) override;
  // A line "TIME<TAB>clock<TAB>The clock moved from ...".
  void OnClockChange(const ClockChange& change) override;
  // Writes the lines still held; what follows the launches comes after them.
  void Flush();

 private:
  std::ostream& out_;
  DateTime tickTime_;
  std::string tickText_;
  std::string lines_;
};

// `start` is local time; one that comes twice (the hour daylight saving repeats) is its first.
struct PreviewRequest {
  std::string iniFileName;
  DateTime start;
  int hours = 24;  // of real time
};

// Returns whether the file was free of errors at the start.
bool PreviewLaunches(const PreviewRequest& request, std::ostream& out);

}  // namespace tavro
