#pragma once
// What the parts of one reading of the configuration file share: the file in memory, the log, the
// time of the reading and the errors collected so far.

#include <concepts>
#include <cstdint>
#include <string>

#include "config/ini_file.h"
#include "config/taken_values.h"
#include "support/date_time.h"
#include "support/log_sink.h"
#include "support/text.h"

namespace tavro {

struct ReadingRun {
  ReadingRun(const IniFile& file, LogSink& sink, DateTime time) : ini(file), log(sink), now(time) {}

  const IniFile& ini;
  LogSink& log;
  DateTime now;
  TakenValues* kept = nullptr;  // the values taken from this file before, while it stays as it was
  bool debug = false;  // DebugMode as this reading found it
  std::string errors;  // each item begins with a line break; empty while the file is valid

  void AddError(const std::string& item) { errors += kLineBreak + item; }
  // The verbose entries that "debug" of "program" switches on. Given as a function, the text is
  // only made when it is written: most readings have debug off, and a preview reads every hour.
  void Debug(const std::string& message, bool stamped) {
    if (debug) log.Write(message, stamped);
  }
  template <std::invocable MakeText>
  void Debug(MakeText&& make, bool stamped) {
    if (debug) log.Write(make(), stamped);
  }
};

// How the log writes values: integers in decimal, booleans as -1 and 0.
inline std::string LogText(std::int32_t value) { return std::to_string(value); }
inline std::string LogText(bool value) { return value ? "-1" : "0"; }

}  // namespace tavro
