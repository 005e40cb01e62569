#include "schedule/command_lines.h"

#include "support/date_time_text.h"

namespace tavro {

namespace {

void AppendBlankQuoted(std::string& out, const std::string& name) {
  if (name.find(' ') == std::string::npos) {
    out += name;
    return;
  }
  out += '"';
  // Each quote doubled: the name is appended in runs that end with a quote.
  std::size_t from = 0;
  for (std::size_t quote = name.find('"'); quote != std::string::npos; quote = name.find('"', quote + 1)) {
    out.append(name, from, quote + 1 - from);
    out += '"';
    from = quote + 1;
  }
  out.append(name, from);
  out += '"';
}

}  // namespace

// The argument texts are built by appending to one string with room for all of it: a preview of a
// year builds millions of them.

std::string BlankQuoted(const std::string& name) {
  std::string quoted;
  AppendBlankQuoted(quoted, name);
  return quoted;
}

std::string PumpArguments(const TPumpa& pump, DateTime slotTime) {
  std::string arguments;
  arguments.reserve(80 + pump.source.size() + pump.target.size() + pump.tagfile.size());
  arguments += " /A=PUMP /d1=";
  const std::size_t slotStart = arguments.size();
  AppendDateTime(arguments, kPumpTimePattern, slotTime);
  const std::size_t slotLength = arguments.size() - slotStart;
  arguments += " /d2=";
  arguments.append(arguments, slotStart, slotLength);
  arguments += " /tS=";
  AppendDecimal(arguments, pump.intervallength);
  arguments += " /sN=";
  arguments += pump.source;
  arguments += " /tN=";
  arguments += pump.target;
  arguments += " /fN=";
  arguments += pump.tagfile;
  if (pump.averages) arguments += " /aV";
  if (pump.recalculate) arguments += " /rV";
  return arguments;
}

std::string BatchArguments(const TBec& batch, const std::string& windowStart, const std::string& windowEnd) {
  std::string arguments;
  arguments.reserve(64 + batch.taskname.size() + windowStart.size() + windowEnd.size());
  arguments += " /A=AC /tn=";
  AppendBlankQuoted(arguments, batch.taskname);
  arguments += " /d1=";
  arguments += windowStart;
  arguments += " /d2=";
  arguments += windowEnd;
  arguments += " /dS=";
  AppendDecimal(arguments, batch.intervallength);
  if (!batch.exporttohistory) arguments += " /nH";
  if (!batch.exporttoexternal) arguments += " /nE";
  return arguments;
}

std::string TaskArguments(const TUkol& task, DateTime slotTime, const std::string& taskTimeFormat) {
  std::string arguments;
  arguments.reserve(48 + task.taskname.size() + taskTimeFormat.size());
  AppendBlankQuoted(arguments, task.taskname);
  arguments += ' ';
  AppendDateTime(arguments, taskTimeFormat, slotTime);
  arguments += ' ';
  AppendDecimal(arguments, task.intervallength);
  if (!task.exporttohistory) arguments += " -NOH";
  if (!task.exporttoexternal) arguments += " -NOE";
  if (task.kordden) arguments += " -KORDD";
  return arguments;
}

std::string ReportArguments(const TRepUkol& report) {
  std::string arguments = "A";
  if (report.length > 0) AppendDecimal(arguments, report.length);
  arguments += ':';
  arguments += report.template_;
  return arguments;
}

}  // namespace tavro
