#pragma once
// How grave a log entry is, for readers that sort by it (the journal's priorities). The log file
// itself carries no such mark: its entries stay as they are.

#include <string>

namespace tavro {

enum class LogSeverity {
  Error,    // a failed launch, a failed reading of the file, a gate source's error
  Warning,  // a held gate, a corrected value, a risk in the configuration
  Info,     // the rest
};

LogSeverity SeverityOfEntry(const std::string& message);

// The syslog level prefix of that severity ("<3>", "<4>" or "<6>").
const char* SyslogLevelPrefix(LogSeverity severity);

}  // namespace tavro
