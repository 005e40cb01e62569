#pragma once
// The Windows event log, where a service says what went wrong: no one sees a message box there.

#include <windows.h>

#include <mutex>
#include <string>

namespace tavro {

class EventLog {
 public:
  // `source`: the name the entries appear under (TavroRunner, which the install registers).
  explicit EventLog(std::string source) : source_(std::move(source)) {}
  ~EventLog();
  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  // One entry with the text, an error unless `type` says otherwise; the source is registered on
  // first use. A log that cannot be written loses the entry: there is no other channel left.
  void Report(const std::string& text, WORD type = EVENTLOG_ERROR_TYPE);

 private:
  std::string source_;
  std::mutex mutex_;  // the service's threads report through one log
  HANDLE handle_ = nullptr;
};

}  // namespace tavro
