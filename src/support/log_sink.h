#pragma once
// Where the launcher's log entries go: the daily log file in the launcher, standard output in
// tavrocheck, a list in tests.

#include <string>

namespace tavro {

class LogSink {
 public:
  virtual ~LogSink() = default;
  // One entry; stamped entries begin with the time of writing and a TAB, unstamped ones continue
  // the stamped entry before them. Never fails towards the caller.
  virtual void Write(const std::string& message, bool stamped) = 0;
  void Entry(const std::string& message) { Write(message, true); }
};

}  // namespace tavro
