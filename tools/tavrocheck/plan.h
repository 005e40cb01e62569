#pragma once
// The --plan preview as tavrocheck prints it (every launch, or only those of one job, then a
// summary), or draws it (--svg).

#include <optional>
#include <ostream>
#include <string>

#include "support/date_time.h"
#include "tavrocheck/options.h"

namespace tavro {

// Returns whether the file was free of errors at the start. With a job chosen and no launch of it,
// says so on `notes` so that an empty preview is not mistaken for a quiet one.
bool PrintPlan(const std::string& iniFile, DateTime start, int hours, const std::optional<JobChoice>& job,
               std::ostream& out, std::ostream& notes);

enum class DrawOutcome { Drawn, Invalid, NotWritten };

// Writes the picture of the preview to `svgFile`; says on `notes` why it could not, or that a chosen
// job has no launch.
DrawOutcome DrawPlan(const std::string& iniFile, DateTime start, int hours, const std::optional<JobChoice>& job,
                     const std::string& svgFile, std::ostream& notes);

}  // namespace tavro
