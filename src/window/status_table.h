#pragma once
// The status of a running launcher as an operator reads it, in the manner of `systemctl
// list-timers`: one line per job (NEXT, LEFT, LAST, PASSED, JOB, RESULT) and a summary line. Made
// from the status record, so that tavrocheck (from the file) and the terminal window (from the
// launcher's own state) show the same table.

#include <string>
#include <vector>

#include "jobs/status_record.h"
#include "support/date_time.h"

namespace tavro {

// The heading line and one line per job, columns aligned; LEFT and PASSED count real time from
// `now`. A time whose offset from UTC is not now's (across a change of daylight saving) shows it.
std::vector<std::string> StatusTableLines(const StatusRecord& status, const ZonedTime& now);

// runs: whether the process that wrote the status still runs (a stale status says so).
std::string StatusSummary(const StatusRecord& status, bool runs);

}  // namespace tavro
