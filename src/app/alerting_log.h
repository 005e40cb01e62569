#pragma once
// The launcher's log as the tick, the window and the sources write it, with the events among its
// entries told on at once: to the alert program of [program] alert=, started hidden and not waited
// for as any launch, and to the system's record of events. Whoever writes an event knows nothing
// of either. The status's word on the source follows its lost and back events.

#include <cstdint>
#include <string>

#include "app/alert_quiet.h"
#include "app/system_events.h"
#include "jobs/launcher_state.h"
#include "schedule/launch_program.h"
#include "support/clock.h"
#include "support/log_sink.h"

namespace tavro {

// The argument text of an alert: the fixed arguments of `alert` (the program first, as written in
// the key), then the event's word, the job and the text, each one argument. A text whose alert
// held back others of its event and job since the last one told ends with " (N more since the
// last alert)".
struct AlertCommand {
  std::string program;
  std::string arguments;
};
AlertCommand MakeAlertCommand(const std::string& alert, LogEvent event, const std::string& job,
                              const std::string& text, std::uint64_t heldBack);

// Starts the alert program of `alert` for the event; the system's error code of a failed start, or 0.
int StartAlert(ProgramStarter& starter, const std::string& alert, LogEvent event, const std::string& job,
               const std::string& text, std::uint64_t heldBack);

class AlertingLog final : public DatedLogSink {
 public:
  // The settings are read at each event: a reading changes the alert program and its quiet minutes.
  // `events`: none where the platform keeps no record of its own.
  AlertingLog(DatedLogSink& log, ProgramStarter& starter, Clock& clock, LauncherState& state, SystemEvents* events)
      : log_(log), starter_(starter), clock_(clock), state_(state), events_(events) {}

  void Write(const std::string& message, bool stamped) override { log_.Write(message, stamped); }
  void FollowDate(DateTime now, bool newDate) override { log_.FollowDate(now, newDate); }
  const std::string& LogFileName() const override { return log_.LogFileName(); }
  void Event(LogEvent event, const std::string& job, const std::string& message, EventEntry entry) override;

 private:
  DatedLogSink& log_;
  ProgramStarter& starter_;
  Clock& clock_;
  LauncherState& state_;
  SystemEvents* events_;
  AlertQuiet quiet_;
};

}  // namespace tavro
