#pragma once
// "Why does this task not start?": reads the configuration as the launcher would, then one gate
// value with the source it selects, over the real connection, and shows everything both wrote.

#include <cstdint>
#include <ostream>
#include <string>

#include "support/date_time.h"

namespace tavro {

struct ProbeRequest {
  std::string iniFileName;
  DateTime now;               // the time of the reading
  std::string tag;            // a task's runningtag
  DateTime slotTime;          // the slot the value is read for
  std::int32_t intervalLength = 60;  // the task's intervallength, in minutes
};

enum class ProbeOutcome {
  Open,
  Closed,
  SourceUnavailable,  // no source would be asked: the launcher would run the task ungated
  Invalid,            // the file has errors: the launcher stays stopped and reads nothing
};

// Prints the log entries of the reading and of the read, as the log file writes them, then the line
// "value", TAB, the value (or "none"), TAB, what the launcher would do with the task.
ProbeOutcome ProbeGate(const ProbeRequest& request, std::ostream& out);

}  // namespace tavro
