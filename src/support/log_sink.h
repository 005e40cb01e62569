#pragma once
// Where the launcher's log entries go: the daily log file in the launcher, standard output in
// tavrocheck, a list in tests.

#include <string>

#include "support/date_time.h"

namespace tavro {

class LogSink {
 public:
  virtual ~LogSink() = default;
  // One entry; stamped entries begin with the time of writing and a TAB, unstamped ones continue
  // the stamped entry before them. Never fails towards the caller.
  virtual void Write(const std::string& message, bool stamped) = 0;
  void Entry(const std::string& message) { Write(message, true); }
};

// A log that changes with the date (the daily log file), as the timer tick drives it.
class DatedLogSink : public LogSink {
 public:
  // Follows the date of `now`; at the first tick of a new date it may clear the stale file of that
  // day number.
  virtual void FollowDate(DateTime now, bool newDate) = 0;
  virtual const std::string& LogFileName() const = 0;
};

}  // namespace tavro
