// Writes the history journal that a launcher running the configuration for DAYS days from START
// would leave, as the bench reads it back with tavrocheck --history: every launch and its run's end,
// and one hour on the second day in which no launcher ran (the launches of that hour left out), so
// that the missed slots are computed too. The launches are the preview's, every gate open.
//
//   history_journal_fill INI "YYYY-MM-DD HH:MM:SS" DAYS

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "jobs/history_line.h"
#include "schedule/history_journal.h"
#include "support/date_time_text.h"
#include "window/launch_preview.h"

namespace tavro {
namespace {

class JournalWriter final : public LaunchObserver {
 public:
  JournalWriter(std::string ini, DateTime downFrom, DateTime downTo)
      : ini_(std::move(ini)), downFrom_(downFrom), downTo_(downTo) {}

  void OnLaunch(const LaunchNotice& notice) override {
    if (downFrom_ < notice.tickTime && notice.tickTime < downTo_) return;
    if (!wroteDown_ && downTo_ < notice.tickTime) {
      wroteDown_ = true;
      Write({Zoned(downTo_), HistoryEvent::NotRunning, JobKind::Pump, 0, Zoned(downFrom_), Zoned(downTo_), "killed", ""});
    }
    std::size_t k = 0;
    while (k + 1 < kJobKindNames.size() && std::string_view(notice.kind) != kJobKindNames[k]) ++k;
    const auto kind = static_cast<JobKind>(k);
    const ZonedTime slot = Zoned(notice.slot);
    Write({Zoned(notice.tickTime), HistoryEvent::Launched, kind, notice.number, slot, {}, "", notice.commandLine});
    Write({Zoned(AddMinutes(notice.tickTime, 1)), HistoryEvent::RunEnded, kind, notice.number, slot, {},
           "with exit code 0 after 1.0 s", ""});
  }

 private:
  ZonedTime Zoned(DateTime local) const { return FirstZonedTimeOf(zone_, local); }
  void Write(const HistoryLine& line) {
    const DateTime date = StartOfDay(line.time.local);
    if (date != date_) {
      date_ = date;
      file_.close();
      file_.open(HistoryFileName(ini_, date), std::ios::binary | std::ios::app);
    }
    file_ << HistoryLineText(line);
  }

  std::string ini_;
  DateTime downFrom_, downTo_;
  bool wroteDown_ = false;
  SystemTimeZone zone_;
  DateTime date_;
  std::ofstream file_;
};

}  // namespace
}  // namespace tavro

int main(int argc, char** argv) {
  using namespace tavro;
  const std::optional<DateTime> start = argc == 4 ? ParseIsoDateTime(argv[2]) : std::nullopt;
  if (!start) {
    std::cerr << "usage: history_journal_fill INI \"YYYY-MM-DD HH:MM:SS\" DAYS\n";
    return 2;
  }
  const DateTime downFrom = AddMinutes(*start, 24 * 60 + 120);
  JournalWriter writer(argv[1], downFrom, AddMinutes(downFrom, 60));
  SimulatedLauncher launcher(argv[1], *start, &writer);
  const DateTime end = AddDays(*start, std::stoi(argv[3]));
  while (launcher.Now() < end) launcher.Tick();
  return 0;
}
