#pragma once
// The argument text each kind of job gives its program. Pure functions of the record and the times
// the cycle computed.

#include <string>

#include "jobs/job_records.h"
#include "support/date_time.h"

namespace tavro {

// In double quotes, inner quotes doubled, when the name holds a blank; unchanged otherwise.
std::string BlankQuoted(const std::string& name);

std::string PumpArguments(const TPumpa& pump, DateTime slotTime);
std::string BatchArguments(const TBec& batch, const std::string& windowStart, const std::string& windowEnd);
// taskTimeFormat: the pattern of the slot time (the control window's TaskTimeFormat).
std::string TaskArguments(const TUkol& task, DateTime slotTime, const std::string& taskTimeFormat);
std::string ReportArguments(const TRepUkol& report);

}  // namespace tavro
