#include "window/launch_preview.h"

#include "support/date_time_text.h"
#include "support/process_path.h"

namespace tavro {

namespace {
constexpr std::size_t kPrintedBlock = 64 * 1024;
}  // namespace

void PrintedLaunches::OnLaunch(const LaunchNotice& notice) {
  // A tick with many launches writes its time once.
  if (notice.tickTime != tickTime_) {
    tickTime_ = notice.tickTime;
    tickText_ = IsoDateTimeText(notice.tickTime);
  }
  if (lines_.capacity() < kPrintedBlock + 4096) lines_.reserve(kPrintedBlock + 4096);
  lines_ += tickText_;
  lines_ += '\t';
  lines_ += notice.kind;
  lines_ += ' ';
  AppendDecimal(lines_, notice.number);
  lines_ += '\t';
  lines_ += notice.commandLine;
  if (!notice.gateTag.empty()) {
    lines_ += "\tgated by ";
    lines_ += notice.gateTag;
  }
  lines_ += '\n';
  if (lines_.size() >= kPrintedBlock) Flush();
}

void PrintedLaunches::OnClockChange(const ClockChange& change) {
  lines_ += IsoDateTimeText(change.to.local);
  lines_ += "\tclock\t";
  lines_ += ClockChangeEntry(change);
  lines_ += '\n';
}

void PrintedLaunches::Flush() {
  out_.write(lines_.data(), static_cast<std::streamsize>(lines_.size()));
  lines_.clear();
}

SimulatedLauncher::SimulatedLauncher(const std::string& iniFileName, DateTime start, LaunchObserver* observer)
    : clock_(start, &zone_),
      window_({.state = state_,
               .log = log_,
               .clock = clock_,
               .starter = starter_,
               .sources = sources_,
               .observer = observer,
               .iniCache = &cache_,
               .quietTicks = true},
              {"-A"}, false) {
  window_.AttachFace(&face_);
  window_.FormCreate(CurrentExecutablePath(), iniFileName);
  window_.FormActivate();
  valid_ = state_.Settings.IniValid;
  clock_.Advance(kTimerIntervalMs);
}

void SimulatedLauncher::Tick() {
  window_.timrTimer();
  clock_.Advance(kTimerIntervalMs);
}

bool PreviewLaunches(const PreviewRequest& request, std::ostream& out) {
  PrintedLaunches printed(out);
  SimulatedLauncher launcher(request.iniFileName, request.start, &printed);
  const std::int64_t end = launcher.InstantNow() + request.hours * kMsPerHour;
  while (launcher.InstantNow() < end) launcher.Tick();
  printed.Flush();
  return launcher.Valid();
}

}  // namespace tavro
