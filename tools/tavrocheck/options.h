#pragma once
// The command line of tavrocheck: a table of options, each taking a fixed number of values.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/date_time.h"

namespace tavro {

// One job of the file, as the preview names it: "pump 2".
struct JobChoice {
  std::string kind;  // pump, batch, task or report
  int number = 0;    // counted from 1
};

inline constexpr std::int32_t kDefaultProbeMinutes = 60;

// tavrorun.ini in the current folder when there is one; else the installed launcher's
// configuration (InstalledIniFile) when it exists; else tavrorun.ini.
std::string DefaultIniFile();

struct CheckOptions {
  std::string iniFile;                   // "" when not given: DefaultIniFile()
  std::optional<DateTime> now;           // the time of the reading; the clock's when not given
  std::optional<int> planHours;          // preview the launches of so many hours instead
  std::optional<std::string> probeTag;   // read this tag's gate value instead
  std::optional<DateTime> probeAt;       // its slot time; the time of the reading when not given
  std::int32_t probeMinutes = kDefaultProbeMinutes;  // its interval length
  std::optional<JobChoice> job;          // with planHours, history, missed: only this job's; with rerun: the job
  std::optional<std::string> svgFile;    // with planHours: draw the launches into this file instead
  bool history = false;                  // show what became of each slot, from the launcher's journal
  bool missed = false;                   // list the slots missed while no launcher launched
  std::optional<DateTime> since, until;  // with history, missed and rerun: the span (defaults: see CheckUsage)
  bool status = false;                   // show the running launcher's status file instead
  bool rerun = false;                    // run past slots of the job again instead
  std::optional<DateTime> slot;          // with rerun: this one slot
  bool noGate = false;                   // with rerun: gated tasks launched without reading their gate
  bool trySource = false;                // with the check: the reading tries the source as the launcher's does
  bool json = false;                     // with status: the file as it is
  bool help = false;
  bool version = false;
};

// The usage text of the options ("--help"), listed from the same table that parses them, and of
// what the checker writes; the modes and exit codes follow it.
std::string CheckUsage();

// One entry of a usage list: the name indented by two, its explanation from `column`, each further
// line of it ("\n") starting there too.
std::string UsageEntry(const std::string& name, const char* explanation, std::size_t column);

// The arguments after the program name. On a usage error gives false and says why in `error`, in
// one line.
bool ParseCheckOptions(const std::vector<std::string>& args, CheckOptions& options, std::string& error);

}  // namespace tavro
