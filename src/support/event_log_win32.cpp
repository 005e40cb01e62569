#include "support/event_log_win32.h"

namespace tavro {

EventLog::~EventLog() {
  if (handle_ != nullptr) DeregisterEventSource(handle_);
}

void EventLog::Report(const std::string& text, WORD type) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (handle_ == nullptr) handle_ = RegisterEventSourceA(nullptr, source_.c_str());
  if (handle_ == nullptr) return;
  const char* strings[] = {text.c_str()};
  // Event 0 of tavrorun.exe's message table (app/tavrorun_events_win32.mc) is its one string.
  ReportEventA(handle_, type, 0, 0, nullptr, 1, 0, strings, nullptr);
}

}  // namespace tavro
