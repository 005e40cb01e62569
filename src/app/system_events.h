#pragma once
// The system's own record of events beside the launcher's log: the Windows event log, where the
// events worth a call go as warnings or errors. Linux has none of its own: the journal holds the
// log itself.

#include <memory>
#include <string>

#include "support/log_sink.h"

namespace tavro {

class SystemEvents {
 public:
  virtual ~SystemEvents() = default;
  virtual void Report(LogEvent event, const std::string& text) = 0;
};

// None where the platform keeps no such record.
std::unique_ptr<SystemEvents> OpenSystemEvents();

}  // namespace tavro
