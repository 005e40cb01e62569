#pragma once
// The daily log file: one plain-text file per day of the month beside the executable, appended to
// one whole entry at a time and never read back.

#include <ostream>
#include <string>

#include "support/clock.h"
#include "support/date_time.h"
#include "support/log_sink.h"

namespace tavro {

// The executable's path with its extension (from the last dot of the file name) replaced by
// ".0" + two-digit day + ".txt", or that ending appended when the file name has no dot.
std::string LogFileNameFor(const std::string& exeName, DateTime date);

// The bytes of one entry: stamp, TAB, message, CR LF; or message, CR LF.
std::string FormatLogEntry(const std::string& message, bool stamped, DateTime now);

// How long an entry waits for another writer that holds the file.
inline constexpr int kLogBusyPatienceMs = 100;

// Platform part: appends one entry's bytes to `file`: open (creating when missing; Linux keeps it
// open until CloseKeptLogFile), seek to the end, one write, under the sharing rule. An entry is written whole or not at all; while another
// writer holds the file it is retried for `patienceMs`, and a file that cannot be opened for any
// other reason drops the entry. Returns false when the entry was dropped.
bool AppendToLogFile(const std::string& file, const std::string& bytes, int patienceMs = kLogBusyPatienceMs);
// Closes what the platform keeps open between entries (Linux: the file of the last entry), so
// that nothing holds the log while the launcher waits; the next entry opens it anew.
void CloseKeptLogFile();
// Deletes a file that was last written before the instant `writtenBefore` (ms since 1970 UTC); a
// newer one, or one whose time cannot be read, stays. The result is of no interest to the log.
void DeleteLogFileWrittenBefore(const std::string& file, std::int64_t writtenBefore);

// The launcher's log: follows the date, and clears the stale file of a day number once per day.
class DailyLogFile final : public DatedLogSink {
 public:
  DailyLogFile(std::string exeName, Clock& clock);

  // Sets LogFileName for the date of `now`. On a new date it deletes the file of that day number
  // when it holds the same day of an earlier month: when it was last written more than a day ago
  // and this process has written nothing to it today. A clock set back keeps what was written
  // since.
  void FollowDate(DateTime now, bool newDate) override;

  const std::string& LogFileName() const override { return logFileName_; }
  void Write(const std::string& message, bool stamped) override;

  // Also writes every entry to `echo` (nullptr: no longer), its CR LF line ends as LF, so that a
  // terminal or the service manager's journal shows what the file holds. The journal stamps each
  // line itself and sorts by priority: there each line carries the entry's syslog level instead of
  // the time stamp.
  enum class EchoStyle { Stamped, SyslogLevels };
  void EchoTo(std::ostream* echo, EchoStyle style = EchoStyle::Stamped) {
    echo_ = echo;
    echoStyle_ = style;
  }

 private:
  std::string exeName_;
  Clock& clock_;
  std::ostream* echo_ = nullptr;
  EchoStyle echoStyle_ = EchoStyle::Stamped;
  std::string logFileName_;
  std::int64_t lastWrittenDay_ = -1;
  // Whether logFileName_ is the file of day namedDay_ (a day index).
  std::int64_t namedDay_ = -1;
  bool nameIsToday_ = false;
};

// Writes entries in the log file's own layout to a stream (tavrocheck shows a reading this way).
class StreamLogSink final : public LogSink {
 public:
  StreamLogSink(std::ostream& out, Clock& clock) : out_(out), clock_(clock) {}
  void Write(const std::string& message, bool stamped) override;

 private:
  std::ostream& out_;
  Clock& clock_;
};

}  // namespace tavro
