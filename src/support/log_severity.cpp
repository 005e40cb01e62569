#include "support/log_severity.h"

#include <string_view>

#include "support/text.h"

namespace tavro {
namespace {

bool Contains(std::string_view text, std::string_view part) { return text.find(part) != std::string_view::npos; }

}  // namespace

LogSeverity SeverityOfEntry(const std::string& message) {
  // A launch entry begins with the program and its arguments, which may hold any word: only its
  // ending says what it is.
  if (message.ends_with(" launched successfully")) return LogSeverity::Info;
  if (Contains(message, " launch failed, return value ")) return LogSeverity::Error;
  if (Contains(message, " NOT launched due to value of ")) return LogSeverity::Warning;
  if (message.starts_with("Warning") || Contains(message, "found these warnings") || Contains(message, ", set to ")) {
    return LogSeverity::Warning;  // the reading's corrections ("stupid minute, set to 10") included
  }
  const std::string lower = LowerAscii(message);
  for (const std::string_view mark : {"error", "exception", " failed", "timed out", "cannot ", "no value for",
                                      "invalid value", "out of range", "will not be used"}) {
    if (Contains(lower, mark)) return LogSeverity::Error;
  }
  return LogSeverity::Info;
}

const char* SyslogLevelPrefix(LogSeverity severity) {
  switch (severity) {
    case LogSeverity::Error:
      return "<3>";
    case LogSeverity::Warning:
      return "<4>";
    case LogSeverity::Info:
      break;
  }
  return "<6>";
}

}  // namespace tavro
