#pragma once
// The status file of the running launcher, "tavrorun.status" beside its configuration: JSON that
// tells an operator, or a monitoring system, what runs, what ran and how, and what comes next. Its
// fields are listed in the reference page of tavrocheck, which reads it.

#include <string>

#include "jobs/launcher_state.h"
#include "support/date_time.h"

namespace tavro {

struct StatusFacts {
  int processId = 0;
  bool serviceMode = false;
  bool running = false;
  bool closing = false;  // Exit was given: the process is ending
  DateTime now;          // when the status is written; next due times are counted from it
};

// The status file of the configuration file `iniFileName`: the same name, extension ".status".
std::string StatusFileName(const std::string& iniFileName);

std::string StatusJson(const LauncherState& state, const StatusFacts& facts);

// When the job is next due: its next launch comes with the first tick after it (a report's within
// that minute). None for a report that runs on no day of the coming year.
std::optional<DateTime> NextDueTime(const LauncherState& state, JobKind kind, std::size_t index, DateTime now);

}  // namespace tavro
