#pragma once
// The end of every reading: validity is all or nothing for the file.

#include "config/ini_reading.h"
#include "config/reading_run.h"
#include "jobs/launcher_state.h"

namespace tavro {

// Sets IniValid and logs the outcome: "Tasks in ini O.K." or the collected errors.
ReadingVerdict DeliverVerdict(ReadingRun& run, ProgramSettings& settings);

}  // namespace tavro
