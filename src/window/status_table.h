#pragma once
// The status of a running launcher as an operator reads it, in the manner of `systemctl
// list-timers`: one line per job (NEXT, LEFT, LAST, PASSED, JOB, RESULT) and a summary line. Made
// from the status file's JSON, so that tavrocheck and the terminal window show the same table.

#include <string>
#include <vector>

#include "support/date_time.h"
#include "support/json_value.h"

namespace tavro {

// The heading line and one line per job, columns aligned; LEFT and PASSED count from `now`.
std::vector<std::string> StatusTableLines(const JsonValue& status, DateTime now);

// runs: whether the process that wrote the status still runs (a stale status says so).
std::string StatusSummary(const JsonValue& status, bool runs);

}  // namespace tavro
