#pragma once
// One line of the launcher's history journal: what became of a slot of a job, how a run ended, or
// when the launcher stopped, started, ended, or did not run. The launcher appends the lines to a
// file per date (see schedule/history_journal.h); tavrocheck --history and --missed read them back.
//
// A line is UTF-8, its fields separated by TAB characters, in this order:
//   TIME  EVENT  JOB  SLOT  UNTIL  DETAIL  COMMAND
// TIME when it happened, SLOT the slot's time (a batch's scheduled run, a report's minute), UNTIL
// the end of a span (the last slot passed over, a read again until then, the end of a time not
// running): ISO 8601 local times with their offsets, or empty. JOB is "pump 2", or empty for the
// launcher's own lines. DETAIL says why (a return value, a gate value and what it means, who
// stopped the launcher, how a run ended); COMMAND is the command line. TABs and line breaks inside
// a field are written as blanks.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "jobs/job_status.h"
#include "support/time_zone.h"

namespace tavro {

enum class HistoryEvent {
  Launched,
  LaunchFailed,  // DETAIL: the return value
  Held,          // held by the gate's value; DETAIL: "TAG (V)"
  SourceFailed,  // held because the read failed; DETAIL: "TAG (V): what it means"
  ReadAgain,     // the read failed, read again at each tick until UNTIL (retryheld)
  Passed,        // slots SLOT to UNTIL passed over without a launch; DETAIL: how many and why
  RunEnded,      // of the run launched for SLOT; DETAIL: "with exit code C after S s", "by signal N after S s"
  Started,       // the launcher started launching
  Stopped,       // DETAIL: who or what stopped it
  Ended,         // the process ended; DETAIL: Exit command, service stop
  NotRunning,    // no launcher ran from SLOT to UNTIL; DETAIL: how the last one ended
};

// The event's name in the journal ("launched", "launch failed", ...).
const char* HistoryEventName(HistoryEvent event);

struct HistoryLine {
  ZonedTime time;
  HistoryEvent event = HistoryEvent::Launched;
  JobKind kind = JobKind::Pump;
  int number = 0;  // 0: a line of the launcher itself
  std::optional<ZonedTime> slot, until;
  std::string detail;
  std::string command;
};

inline constexpr std::size_t kHistoryFields = 7;
using HistoryFields = std::array<std::string_view, kHistoryFields>;
// The fields of a line, its line end left out; false for a line with fewer fields.
bool SplitHistoryLine(std::string_view text, HistoryFields& fields);

// The line's bytes, line end included; the texts are taken as UTF-8.
std::string HistoryLineText(const HistoryLine& line);
// None for a line that is no journal line (a torn last line, another file's text).
std::optional<HistoryLine> ParseHistoryLine(std::string_view text);

// What a tick or the control window tells of each outcome; the launcher's journal writes it.
class HistoryObserver {
 public:
  virtual ~HistoryObserver() = default;
  // `slot` and `until` as local times, which the journal gives their offsets.
  virtual void Record(HistoryEvent event, const ZonedTime& time, JobKind kind, int number, DateTime slot,
                      DateTime until, const std::string& detail, const std::string& command) = 0;
};

}  // namespace tavro
