#include "app/system_events.h"

#include "service/service_query.h"
#include "support/event_log_win32.h"

namespace tavro {
namespace {

class WindowsEvents final : public SystemEvents {
 public:
  void Report(LogEvent event, const std::string& text) override {
    log_.Report(text, LogEventIsError(event) ? EVENTLOG_ERROR_TYPE : EVENTLOG_WARNING_TYPE);
  }

 private:
  EventLog log_{kServiceName};
};

}  // namespace

std::unique_ptr<SystemEvents> OpenSystemEvents() { return std::make_unique<WindowsEvents>(); }

}  // namespace tavro
