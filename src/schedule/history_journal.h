#pragma once
// The launcher's history journal: a file per date beside its configuration,
// "tavrorun-20261207.history" for "tavrorun.ini", to which the launcher appends one line (see
// jobs/history_line.h) per slot outcome and per run end as it happens, and one when it starts,
// stops and ends. The files of the last kHistoryDays dates are kept; older ones are removed when the
// date changes. A day of a thousand busy jobs is about 60,000 lines, 10 MB.

#include <functional>
#include <string>
#include <string_view>

#include "jobs/history_line.h"
#include "support/time_zone.h"

namespace tavro {

inline constexpr int kHistoryDays = 31;

// The journal file of local date `date` for the configuration file `iniFileName`.
std::string HistoryFileName(const std::string& iniFileName, DateTime date);

// Hands each line of the journal files of the local dates from `first` to `last` to `take`, oldest
// first, its line end left out: a month of a busy plant is hundreds of megabytes, read a file at a
// time.
void ForEachHistoryLine(const std::string& iniFileName, DateTime first, DateTime last,
                        const std::function<void(std::string_view line)>& take);

class HistoryJournal final : public HistoryObserver {
 public:
  // Learns how the launcher that last wrote the journal ended, for the NotRunning line of this one.
  HistoryJournal(std::string iniFileName, const TimeZone& zone, DateTime now);

  // A NotRunning line without a detail is given how the last launcher ended: its Exit command or
  // service stop, or "killed" when it ended without a word (a kill, a crash, a power loss).
  void Record(HistoryEvent event, const ZonedTime& time, JobKind kind, int number, DateTime slot, DateTime until,
              const std::string& detail, const std::string& command) override;

 private:
  // A new date: the files older than kHistoryDays dates go.
  void FollowDate(DateTime date);

  std::string iniFileName_;
  const TimeZone& zone_;
  std::string lastEnd_;
  DateTime date_;
  std::string fileName_;
};

}  // namespace tavro
