#pragma once
// One launcher state read again and again from INI texts, with the log and the verdict recorded.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "config/ini_file.h"
#include "config/ini_reading.h"
#include "jobs/launcher_state.h"
#include "support/date_time.h"
#include "testing/recording_log.h"

namespace tavro::configtest {

// A log entry as the tests write it down: stamped or not, and the message.
using Entry = std::pair<bool, std::string>;

struct Reading {
  LauncherState state;
  testutil::RecordingLog log;
  PrepareSourceFunction prepareSource;
  ReadingVerdict verdict;
  DateTime now = MakeDateTime(2026, 12, 7, 10, 7, 30);  // a Monday

  Reading() { state.Settings.IniFileName = "/plant/tavrorun.ini"; }

  // One reading of `text`; the log holds that reading's entries only.
  void Read(const std::string& text) {
    log.entries.clear();
    verdict = ReadConfiguration(state, IniFile::Parse(text), ReadingContext{log, now, prepareSource});
  }

  std::vector<Entry> Entries() const {
    std::vector<Entry> entries;
    for (const testutil::LoggedEntry& entry : log.entries) entries.emplace_back(entry.stamped, entry.message);
    return entries;
  }
  bool Logged(const std::string& message, bool stamped = true) const {
    const std::vector<Entry> entries = Entries();
    return std::find(entries.begin(), entries.end(), Entry{stamped, message}) != entries.end();
  }
  // Whether any entry holds the text anywhere.
  bool LogMentions(const std::string& text) const {
    return std::any_of(log.entries.begin(), log.entries.end(),
                       [&](const testutil::LoggedEntry& entry) { return entry.message.find(text) != std::string::npos; });
  }
  Entry Last() const { return Entries().back(); }
};

// The verdict entry for these error items (each given without its leading line break).
inline std::string ErrorVerdict(const std::vector<std::string>& items) {
  std::string text = "In ini found these errors:\r\n";
  for (const std::string& item : items) text += "\r\n" + item;
  return text;
}

}  // namespace tavro::configtest
