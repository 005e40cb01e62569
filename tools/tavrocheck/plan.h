#pragma once
// The --plan preview as tavrocheck prints it (every launch, or only those of one job, then a
// summary), or draws it (--svg).

#include <optional>
#include <ostream>
#include <string>

#include "support/date_time.h"
#include "tavrocheck/options.h"

namespace tavro {

enum class PlanOutcome {
  Done,
  Invalid,     // the file has errors at the start
  NoSuchJob,   // the chosen job is not in the file
  NotWritten,  // the picture could not be written
};

// With a job chosen and no launch of it, says so on `notes` so that an empty preview is not
// mistaken for a quiet one; a chosen job that the file does not have, too.
PlanOutcome PrintPlan(const std::string& iniFile, DateTime start, int hours, const std::optional<JobChoice>& job,
                      std::ostream& out, std::ostream& notes);

// Writes the picture of the preview to `svgFile`; says on `notes` why it could not, or what
// PrintPlan says of a chosen job.
PlanOutcome DrawPlan(const std::string& iniFile, DateTime start, int hours, const std::optional<JobChoice>& job,
                     const std::string& svgFile, std::ostream& notes);

}  // namespace tavro
