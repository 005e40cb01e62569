#pragma once
// A log that keeps its entries in memory, for tests that check what the launcher said.

#include <string>
#include <vector>

#include "support/log_sink.h"

namespace tavro::testutil {

struct LoggedEntry {
  std::string message;
  bool stamped;
  friend bool operator==(const LoggedEntry&, const LoggedEntry&) = default;
};

class RecordingLog final : public DatedLogSink {
 public:
  void Write(const std::string& message, bool stamped) override { entries.push_back({message, stamped}); }
  void FollowDate(DateTime now, bool) override {
    followed.push_back(now);
    fileName_ = "log." + std::to_string(ToCivil(now).day);
  }
  const std::string& LogFileName() const override { return fileName_; }

  // The stamped and unstamped messages as one list, in order.
  std::vector<std::string> Messages() const {
    std::vector<std::string> out;
    for (const LoggedEntry& entry : entries) out.push_back(entry.message);
    return out;
  }
  bool Contains(const std::string& message) const {
    for (const LoggedEntry& entry : entries) {
      if (entry.message == message) return true;
    }
    return false;
  }

  std::vector<LoggedEntry> entries;
  std::vector<DateTime> followed;

 private:
  std::string fileName_;
};

}  // namespace tavro::testutil
