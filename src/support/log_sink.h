#pragma once
// Where the launcher's log entries go: the daily log file in the launcher, standard output in
// tavrocheck, a list in tests.

#include <array>
#include <cstddef>
#include <string>

#include "support/date_time.h"

namespace tavro {

// What is worth telling someone at once, beyond the log that nobody reads until morning.
enum class LogEvent {
  LaunchFailed,     // a program could not be started
  RunFailed,        // a watched run ended with a code other than 0, or by a signal
  RunLimit,         // a run was ended by its run time limit
  SourceLost,       // the process-data source cannot be reached
  SourceBack,       // it answers again
  ReadingErrors,    // a reading of the configuration found errors
  StoppedByErrors,  // ... and stopped the running launcher
  StartedAgain,     // a reading without them started it again
  SlotsMissed,      // a start found slots missed while the launcher did not run
  SecondLauncher,   // a second launcher was refused
};
// The one word each is told by, and whether it is an error (else a warning).
inline constexpr std::array<const char*, 10> kLogEventWords{
    "launch-failed", "run-failed",   "run-limit",     "source-lost",  "source-back",
    "ini-errors",    "stopped",      "started-again", "slots-missed", "second-launcher"};
inline const char* LogEventWord(LogEvent event) { return kLogEventWords[static_cast<std::size_t>(event)]; }
inline bool LogEventIsError(LogEvent event) {
  return event != LogEvent::SourceBack && event != LogEvent::StartedAgain && event != LogEvent::SlotsMissed;
}

// How an event's text goes into the log.
enum class EventEntry { Stamped, Continued, Unlogged };

class LogSink {
 public:
  virtual ~LogSink() = default;
  // One entry; stamped entries begin with the time of writing and a TAB, unstamped ones continue
  // the stamped entry before them. Never fails towards the caller.
  virtual void Write(const std::string& message, bool stamped) = 0;
  void Entry(const std::string& message) { Write(message, true); }
  // An entry that is also an event; `job` names the job it concerns ("pump 3"), or is "-". The
  // launcher's log tells it on to whoever is to hear of it at once; any other log just writes it.
  virtual void Event(LogEvent /*event*/, const std::string& /*job*/, const std::string& message,
                     EventEntry entry = EventEntry::Stamped) {
    if (entry != EventEntry::Unlogged) Write(message, entry == EventEntry::Stamped);
  }
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
