#pragma once
// The status record of the running launcher, made from its state: what runs, what ran and how, and
// what comes next.

#include <string>

#include "jobs/launcher_state.h"
#include "jobs/status_record.h"
#include "support/date_time.h"

namespace tavro {

struct StatusFacts {
  int processId = 0;
  bool serviceMode = false;
  bool running = false;
  bool ended = false;    // Exit or a service stop was given: the process is ending
  ZonedTime now;         // when the status is written; next due times are counted from it
  const TimeZone* zone = nullptr;  // the zone local times are read in; none: UTC
};

// The status file of the configuration file `iniFileName`: the same name, extension ".status".
std::string StatusFileName(const std::string& iniFileName);

// The metrics file: "metricsfile" of [program], or beside the status file with extension ".prom".
std::string MetricsFileName(const ProgramSettings& settings);

StatusRecord MakeStatusRecord(const LauncherState& state, const StatusFacts& facts);

// When the job is next due: its next launch comes with the first tick after it (a report's within
// that minute). A slot whose local time does not exist is passed over, as the tick does, and a
// local time that comes twice is the one still to come. None for a report that runs on no day of
// the coming year.
std::optional<ZonedTime> NextDueTime(const LauncherState& state, JobKind kind, std::size_t index, const ZonedTime& now,
                                     const TimeZone& zone);

}  // namespace tavro
