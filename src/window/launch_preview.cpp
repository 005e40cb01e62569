#include "window/launch_preview.h"

#include "support/date_time_text.h"
#include "support/process_path.h"

namespace tavro {

void PrintedLaunches::OnLaunch(const LaunchNotice& notice) {
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

SimulatedLauncher::SimulatedLauncher(const std::string& iniFileName, DateTime start, LaunchObserver* observer)
    : clock_(start), window_({state_, log_, clock_, starter_, sources_, observer, &cache_}, {"-A"}, false) {
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
  const DateTime end = AddHours(request.start, request.hours);
  while (launcher.Now() < end) launcher.Tick();
  return launcher.Valid();
}

}  // namespace tavro
