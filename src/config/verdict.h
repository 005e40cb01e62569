#pragma once
// The end of every reading: validity is all or nothing for the file.

#include "config/ini_reading.h"
#include "config/launcher_state.h"
#include "config/reading_run.h"

namespace tavro {

// Sets IniValid and logs the outcome: "Tasks in ini O.K." or the collected errors.
ReadingVerdict DeliverVerdict(ReadingRun& run, ProgramSettings& settings);

}  // namespace tavro
