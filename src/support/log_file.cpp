#include "support/log_file.h"

#include <utility>

#include "support/date_time_text.h"
#include "support/log_severity.h"
#include "support/process_path.h"

namespace tavro {
namespace {

std::int64_t DayIndex(DateTime value) { return StartOfDay(value).ms / kMsPerDay; }

// The entry's lines with LF ends, each after `linePrefix`. CR LF and a bare CR (the SQL readers'
// error entries have one, which would overwrite the line on a terminal) both end a line; the
// journal takes each line as an entry of its own, so each carries the prefix.
std::string EchoedLines(const std::string& entry, const char* linePrefix) {
  std::string echoed;
  echoed.reserve(entry.size() + 16);
  for (std::size_t start = 0; start < entry.size();) {
    echoed += linePrefix;
    std::size_t end = start;
    while (end < entry.size() && entry[end] != '\r' && entry[end] != '\n') ++end;
    if (end == entry.size()) {
      echoed.append(entry, start);
      break;
    }
    echoed.append(entry, start, end - start);
    echoed += '\n';
    const bool crLf = entry[end] == '\r' && end + 1 < entry.size() && entry[end + 1] == '\n';
    start = end + (crLf ? 2 : 1);
  }
  return echoed;
}

}  // namespace

std::string LogFileNameFor(const std::string& exeName, DateTime date) {
  return ReplaceExtension(exeName, FormatDateTime(R"(".0"dd".txt")", date));
}

std::string FormatLogEntry(const std::string& message, bool stamped, DateTime now) {
  std::string entry;
  // The whole entry in one allocation: a reading can write thousands of entries.
  const std::string* stamp = stamped ? &LogStamp(now) : nullptr;
  entry.reserve((stamp != nullptr ? stamp->size() + 1 : 0) + message.size() + 2);
  if (stamp != nullptr) {
    entry += *stamp;
    entry += '\t';
  }
  entry += message;
  entry += "\r\n";
  return entry;
}

DailyLogFile::DailyLogFile(std::string exeName, Clock& clock)
    : exeName_(std::move(exeName)), clock_(clock), logFileName_(LogFileNameFor(exeName_, clock_.Now())) {}

void DailyLogFile::FollowDate(DateTime now, bool newDate) {
  logFileName_ = LogFileNameFor(exeName_, now);
  const std::int64_t day = DayIndex(now);
  namedDay_ = day;
  nameIsToday_ = true;
  // Never over an entry of today: what is cleared is an earlier month's file only.
  if (newDate && lastWrittenDay_ != day) DeleteLogFileWrittenBefore(logFileName_, clock_.InstantNow() - kMsPerDay);
}

void DailyLogFile::Write(const std::string& message, bool stamped) {
  const DateTime now = clock_.Now();
  // Only an entry that lands in today's file protects it; one that still went to yesterday's
  // file leaves today's stale file to be cleared.
  const std::int64_t day = DayIndex(now);
  if (day != namedDay_) {  // the name is compared once a day, not at every entry
    namedDay_ = day;
    nameIsToday_ = logFileName_ == LogFileNameFor(exeName_, now);
  }
  if (nameIsToday_) lastWrittenDay_ = day;
  const std::string entry = FormatLogEntry(message, stamped, now);
  AppendToLogFile(logFileName_, entry);
  if (echo_ != nullptr) {
    const bool levels = echoStyle_ == EchoStyle::SyslogLevels;
    const std::string echoed = EchoedLines(levels ? FormatLogEntry(message, false, now) : entry,
                                           levels ? SyslogLevelPrefix(SeverityOfEntry(message)) : "");
    // The whole entry at once: a reader sees it in one piece.
    echo_->write(echoed.data(), static_cast<std::streamsize>(echoed.size()));
    echo_->flush();
  }
}

void StreamLogSink::Write(const std::string& message, bool stamped) {
  out_ << FormatLogEntry(message, stamped, clock_.Now());
}

}  // namespace tavro
