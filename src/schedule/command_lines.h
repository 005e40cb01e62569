#pragma once
// The argument text each kind of job gives its program. Pure functions of the record and the times
// the cycle computed.

#include <string>

#include "jobs/job_records.h"
#include "support/date_time.h"

namespace tavro {

// In double quotes, inner quotes doubled, when the name holds a blank; unchanged otherwise.
std::string BlankQuoted(const std::string& name);

// One argument as SplitCommandLine gives it back whatever it holds (blanks, quotes, backslashes, an
// empty text): in double quotes when it needs them, backslashes before a quote or the closing
// quote doubled, each quote escaped by a backslash.
std::string QuotedArgument(const std::string& text);

// Each appends its job's arguments to `out`: the cycle builds them into one string it reuses, as
// a preview of a year builds millions of them.
void AppendPumpArguments(std::string& out, const TPumpa& pump, DateTime slotTime);
void AppendBatchArguments(std::string& out, const TBec& batch, const std::string& windowStart,
                          const std::string& windowEnd);
// taskTimeFormat: the pattern of the slot time (the control window's TaskTimeFormat).
void AppendTaskArguments(std::string& out, const TUkol& task, DateTime slotTime, const std::string& taskTimeFormat);
void AppendReportArguments(std::string& out, const TRepUkol& report);

// The same, each as a text of its own.
std::string PumpArguments(const TPumpa& pump, DateTime slotTime);
std::string BatchArguments(const TBec& batch, const std::string& windowStart, const std::string& windowEnd);
std::string TaskArguments(const TUkol& task, DateTime slotTime, const std::string& taskTimeFormat);
std::string ReportArguments(const TRepUkol& report);

}  // namespace tavro
