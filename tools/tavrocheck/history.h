#pragma once
// tavrocheck --history and --missed: the launcher's journal (schedule/history_journal.h) read back,
// with the slots missed while no launcher launched (window/missed_slots.h).

#include <optional>
#include <ostream>
#include <string>

#include "support/date_time.h"
#include "tavrocheck/options.h"

namespace tavro {

struct HistoryRequest {
  std::string iniFile;
  DateTime since, until;  // local times, both ends included
  std::optional<JobChoice> job;
};

// Every entry of the journal in the span, and every missed slot at its own time, in order. False
// when the missed slots could not be told (the file has errors and the launcher was down).
bool PrintHistory(const HistoryRequest& request, std::ostream& out);
// The missed slots with their command lines, then a summary line; false, printing nothing, when
// they could not be told.
bool PrintMissed(const HistoryRequest& request, std::ostream& out);

}  // namespace tavro
