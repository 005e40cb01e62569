#pragma once
// tavrocheck --status: the running launcher's status file, as a table of its jobs in the manner
// of `systemctl list-timers` (NEXT, LEFT, LAST, PASSED, JOB, RESULT) and a summary line, or as
// the file is (--json), for monitoring.

#include <ostream>
#include <string>

#include "support/date_time.h"

namespace tavro {

enum class StatusOutcome {
  Running,     // the launcher that wrote the file runs
  Stale,       // its process no longer runs, or there is no status file (nor can there be one)
  Ended,       // the launcher that wrote the file ended by Exit or a service stop
  Unreadable,  // the file is not a status the launcher writes
};

// `iniFile` names the configuration whose status is shown; `now` is what LEFT and PASSED count from.
StatusOutcome ShowStatus(const std::string& iniFile, DateTime now, bool json, std::ostream& out, std::ostream& notes);

}  // namespace tavro
