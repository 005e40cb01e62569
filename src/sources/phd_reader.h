#pragma once
// The PHD reader (unit phd): one value of a task's tag at its slot time from the automation object
// "VisualPHD.Data", which each read creates, logs in when a user is set, asks, logs out and
// releases. Every step that can fail has its own failure value and log line.

#include <string>

#include "jobs/launcher_state.h"
#include "sources/automation.h"
#include "sources/gate_reader.h"
#include "support/date_time.h"
#include "support/log_sink.h"

namespace tavro {

inline constexpr const char* kPhdProgId = "VisualPHD.Data";

class PhdReader final : public GateReader {
 public:
  PhdReader(const ProgramSettings& settings, LogSink& log, AutomationFactory& automation)
      : settings_(settings), log_(log), automation_(automation) {}

  double Read(const GateRequest& request) override;

  // The password is never logged. An error while reading the tag's result object passes to the
  // caller, after the logout and the release.
  double ReadPhdValue(const std::string& tag, const std::string& host, const std::string& user,
                      const std::string& password, DateTime time);

 private:
  const ProgramSettings& settings_;
  LogSink& log_;
  AutomationFactory& automation_;
};

// Fills the three arrays from the tag's result object through UnpackResults or, failing that,
// UnpackData; false, with the log line, when neither worked.
bool UnpackPhdTag(AutomationObject& tagObject, AutomationValue& first, AutomationValue& second,
                  AutomationValue& third, LogSink& log);

}  // namespace tavro
