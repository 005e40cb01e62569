#pragma once
// The launcher's log entry of the findings: written when a reading's findings differ from those the
// previous reading logged, so that an hourly re-reading of an unchanged file stays quiet.

#include <string>
#include <vector>

#include "findings/findings.h"
#include "support/log_sink.h"

namespace tavro {

// `logged` holds the lines of the findings last logged (empty before the first reading); the entry
// "In ini found these warnings:" lists the new ones in the layout of the reading's error list.
// "warnings=0" of [program] turns the search off and forgets what was logged.
void LogChangedFindings(std::vector<std::string>& logged, const CheckedFile& file, LogSink& log);

}  // namespace tavro
