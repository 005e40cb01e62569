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

std::string QuotedArgument(const std::string& text) {
  if (!text.empty() && text.find_first_of(" \t\"") == std::string::npos) return text;
  std::string quoted = "\"";
  std::size_t backslashes = 0;
  for (const char c : text) {
    if (c == '\\') {
      ++backslashes;
      continue;
    }
    // Before a quote, the backslashes are doubled and one more escapes the quote; elsewhere they are literal.
    quoted.append(c == '"' ? 2 * backslashes + 1 : backslashes, '\\');
    backslashes = 0;
    quoted += c;
  }
  quoted.append(2 * backslashes, '\\');
  quoted += '"';
  return quoted;
}

std::string BlankQuoted(const std::string& name) {
  std::string quoted;
  AppendBlankQuoted(quoted, name);
  return quoted;
}

void AppendPumpArguments(std::string& out, const TPumpa& pump, DateTime slotTime) {
  out.reserve(out.size() + 80 + pump.source.size() + pump.target.size() + pump.tagfile.size());
  out += " /A=PUMP /d1=";
  const std::size_t slotStart = out.size();
  AppendDateTime(out, kPumpTimePattern, slotTime);
  const std::size_t slotLength = out.size() - slotStart;
  out += " /d2=";
  out.append(out, slotStart, slotLength);
  out += " /tS=";
  AppendDecimal(out, pump.intervallength);
  out += " /sN=";
  out += pump.source;
  out += " /tN=";
  out += pump.target;
  out += " /fN=";
  out += pump.tagfile;
  if (pump.averages) out += " /aV";
  if (pump.recalculate) out += " /rV";
}

void AppendBatchArguments(std::string& out, const TBec& batch, const std::string& windowStart,
                          const std::string& windowEnd) {
  out.reserve(out.size() + 64 + batch.taskname.size() + windowStart.size() + windowEnd.size());
  out += " /A=AC /tn=";
  AppendBlankQuoted(out, batch.taskname);
  out += " /d1=";
  out += windowStart;
  out += " /d2=";
  out += windowEnd;
  out += " /dS=";
  AppendDecimal(out, batch.intervallength);
  if (!batch.exporttohistory) out += " /nH";
  if (!batch.exporttoexternal) out += " /nE";
}

void AppendTaskArguments(std::string& out, const TUkol& task, DateTime slotTime, const std::string& taskTimeFormat) {
  out.reserve(out.size() + 48 + task.taskname.size() + taskTimeFormat.size());
  AppendBlankQuoted(out, task.taskname);
  out += ' ';
  AppendDateTime(out, taskTimeFormat, slotTime);
  out += ' ';
  AppendDecimal(out, task.intervallength);
  if (!task.exporttohistory) out += " -NOH";
  if (!task.exporttoexternal) out += " -NOE";
  if (task.kordden) out += " -KORDD";
}

void AppendReportArguments(std::string& out, const TRepUkol& report) {
  out += 'A';
  if (report.length > 0) AppendDecimal(out, report.length);
  out += ':';
  out += report.template_;
}

std::string PumpArguments(const TPumpa& pump, DateTime slotTime) {
  std::string arguments;
  AppendPumpArguments(arguments, pump, slotTime);
  return arguments;
}

std::string BatchArguments(const TBec& batch, const std::string& windowStart, const std::string& windowEnd) {
  std::string arguments;
  AppendBatchArguments(arguments, batch, windowStart, windowEnd);
  return arguments;
}

std::string TaskArguments(const TUkol& task, DateTime slotTime, const std::string& taskTimeFormat) {
  std::string arguments;
  AppendTaskArguments(arguments, task, slotTime, taskTimeFormat);
  return arguments;
}

std::string ReportArguments(const TRepUkol& report) {
  std::string arguments;
  AppendReportArguments(arguments, report);
  return arguments;
}

}  // namespace tavro
