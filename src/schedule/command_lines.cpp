#include "schedule/command_lines.h"

#include "support/date_time_text.h"

namespace tavro {

std::string BlankQuoted(const std::string& name) {
  if (name.find(' ') == std::string::npos) return name;
  std::string quoted = "\"";
  for (const char c : name) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string PumpArguments(const TPumpa& pump, DateTime slotTime) {
  const std::string slot = FormatDateTime(kPumpTimePattern, slotTime);
  std::string arguments = " /A=PUMP /d1=" + slot + " /d2=" + slot;
  arguments += " /tS=" + std::to_string(pump.intervallength);
  arguments += " /sN=" + pump.source + " /tN=" + pump.target + " /fN=" + pump.tagfile;
  if (pump.averages) arguments += " /aV";
  if (pump.recalculate) arguments += " /rV";
  return arguments;
}

std::string BatchArguments(const TBec& batch, const std::string& windowStart, const std::string& windowEnd) {
  std::string arguments = " /A=AC /tn=" + BlankQuoted(batch.taskname) + " /d1=" + windowStart +
                          " /d2=" + windowEnd + " /dS=" + std::to_string(batch.intervallength);
  if (!batch.exporttohistory) arguments += " /nH";
  if (!batch.exporttoexternal) arguments += " /nE";
  return arguments;
}

std::string TaskArguments(const TUkol& task, DateTime slotTime, const std::string& taskTimeFormat) {
  std::string arguments = BlankQuoted(task.taskname) + " " + FormatDateTime(taskTimeFormat, slotTime) + " " +
                          std::to_string(task.intervallength);
  if (!task.exporttohistory) arguments += " -NOH";
  if (!task.exporttoexternal) arguments += " -NOE";
  if (task.kordden) arguments += " -KORDD";
  return arguments;
}

std::string ReportArguments(const TRepUkol& report) {
  std::string arguments = "A";
  if (report.length > 0) arguments += std::to_string(report.length);
  return arguments + ":" + report.template_;
}

std::string CommandLine(const std::string& program, const std::string& arguments) {
  // The program path goes in unquoted, exactly as configured.
  if (arguments.empty()) return program;
  return program + " " + arguments;
}

}  // namespace tavro
