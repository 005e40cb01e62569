#pragma once
// The end of every reading: validity is all or nothing for the file, and an invalid file keeps the
// launcher stopped.

#include "config/ini_reading.h"
#include "config/launcher_state.h"
#include "config/reading_run.h"

namespace tavro {

void DeliverVerdict(ReadingRun& run, ProgramSettings& settings, ControlWindowPort& window);

}  // namespace tavro
