#include "app/launch_preview.h"

#include "app/control_window.h"
#include "sources/open_gates.h"
#include "support/date_time_text.h"
#include "support/process_path.h"
#include "support/simulated_clock.h"

namespace tavro {
namespace {

// The preview says only what would be launched; the reading's and the cycle's log is not wanted.
class DiscardedLog final : public DatedLogSink {
 public:
  void Write(const std::string&, bool) override {}
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
    out_ << tickText_ << '\t' << notice.kind << ' ' << notice.number << '\t' << notice.commandLine;
    if (!notice.gateTag.empty()) out_ << "\tgated by " << notice.gateTag;
    out_ << '\n';
  }

 private:
  std::ostream& out_;
  DateTime tickTime_;
  std::string tickText_;
};

}  // namespace

bool PreviewLaunches(const PreviewRequest& request, std::ostream& out) {
  SimulatedClock clock(request.start);
  LauncherState state;
  DiscardedLog log;
  SucceedingStarter starter;
  OpenGates sources;
  PrintedLaunches printed(out);
  ControlWindow window({state, log, clock, starter, sources, &printed}, {"-A"}, false);
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
