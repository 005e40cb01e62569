#include "window/launch_preview.h"

#include "config/ini_file_cache.h"
#include "sources/open_gates.h"
#include "support/date_time_text.h"
#include "support/process_path.h"
#include "support/simulated_clock.h"
#include "window/control_window.h"

namespace tavro {
namespace {

// The preview says only what would be launched; the reading's and the cycle's log is not wanted.
class DiscardedLog final : public DatedLogSink {
 public:
  void Write(const std::string&, bool) override {}
  bool Discards() const override { return true; }
  void FollowDate(DateTime, int) override {}
  const std::string& LogFileName() const override { return name_; }

 private:
  std::string name_;
};

class SucceedingStarter final : public ProgramStarter {
 public:
  int Launch(const std::string&, const std::string&, const std::string&, std::uint16_t) override { return 0; }
};

class VisibleFace final : public WindowFace {
 public:
  bool Visible() const override { return true; }
  void Hide() override {}
  void Close() override {}
  void ProcessMessages() override {}
  bool ShowsProgress() const override { return false; }
};

class PrintedLaunches final : public LaunchObserver {
 public:
  explicit PrintedLaunches(std::ostream& out) : out_(out) {}
  void OnLaunch(const LaunchNotice& notice) override {
    // A tick with many launches writes its time once.
    if (notice.tickTime != tickTime_) {
      tickTime_ = notice.tickTime;
      tickText_ = IsoDateTimeText(notice.tickTime);
    }
    line_.assign(tickText_);
    line_ += '\t';
    line_ += notice.kind;
    line_ += ' ';
    line_ += std::to_string(notice.number);
    line_ += '\t';
    line_ += notice.commandLine;
    if (!notice.gateTag.empty()) {
      line_ += "\tgated by ";
      line_ += notice.gateTag;
    }
    line_ += '\n';
    out_.write(line_.data(), static_cast<std::streamsize>(line_.size()));
  }

 private:
  std::ostream& out_;
  DateTime tickTime_;
  std::string tickText_;
  std::string line_;
};

}  // namespace

bool PreviewLaunches(const PreviewRequest& request, std::ostream& out) {
  SimulatedClock clock(request.start);
  LauncherState state;
  DiscardedLog log;
  SucceedingStarter starter;
  OpenGates sources;
  PrintedLaunches printed(out);
  // The hourly re-reading still runs (it re-arms the reports), on the file parsed once.
  IniFileCache cache;
  ControlWindow window({state, log, clock, starter, sources, &printed, &cache}, {"-A"}, false);
  VisibleFace face;
  window.AttachFace(&face);
  window.FormCreate(CurrentExecutablePath(), request.iniFileName);
  window.FormActivate();
  const bool valid = state.Settings.IniValid;

  const DateTime end = AddHours(request.start, request.hours);
  clock.Advance(kTimerIntervalMs);
  while (clock.Now() < end) {
    window.timrTimer();
    clock.Advance(kTimerIntervalMs);
  }
  return valid;
}

}  // namespace tavro
