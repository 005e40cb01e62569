#pragma once
// What the checker and the launcher find beyond the reading's own errors and warnings: the mistakes
// the reading passes over in silence (a key it does not know is simply not read, a value that is no number
// gives the default, a report whose calendar never matches never runs ...). Each finding names the
// section and key and says what was expected.

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "config/ini_file.h"
#include "jobs/launcher_state.h"
#include "support/date_time.h"

namespace tavro {

struct Finding {
  std::optional<std::string> section;  // as written; none when the finding is about the file
  std::optional<std::string> key;      // as written; none when it is about the whole section
  std::string message;
};

// "finding: [SECTION] KEY: MESSAGE", the parts that are none left out.
std::string FindingLine(const Finding& finding);

// A file after the launcher's reading of it.
struct CheckedFile {
  const std::string& path;     // the full path the reading used
  const IniFile& ini;          // the file as the reading saw it
  const LauncherState& state;  // as the reading left it
  DateTime now;                // the time of the reading
  // The reading's own warnings (values cut, files others may change: ReadingVerdict::warnings)
  // count as findings too; the launcher has logged them with the reading and leaves them out.
  std::span<const std::string> readingWarnings = {};
};

// Every finding, those of one kind together, in the order of the file where that has a meaning.
std::vector<Finding> FindProblems(const CheckedFile& file);

// The parts of the check, each in a file of its own.
using Findings = std::vector<Finding>;
// The file cannot be opened or is no 8-bit text; false when the other checks have nothing to read.
bool FindFileProblems(const CheckedFile& file, Findings& findings);
void FindSectionProblems(const CheckedFile& file, Findings& findings);   // sections, keys and values
void FindPhaseProblems(const CheckedFile& file, Findings& findings);     // phases that defeat the period
void FindArgumentProblems(const CheckedFile& file, Findings& findings);  // texts a command line splits
void FindProgramProblems(const CheckedFile& file, Findings& findings);   // programs that cannot start
void FindCalendarProblems(const CheckedFile& file, Findings& findings);  // reports that never run

// The job families as the checks see them.
struct JobFamily {
  const char* head;    // "pumps", the section with "count"
  const char* prefix;  // "pump_", followed by the job's number
  std::size_t (*jobs)(const LauncherState& state);  // how many the reading took
  // The program a job starts; none for reports, which share the one of their head section.
  const std::string* (*program)(const LauncherState& state, std::size_t index);
};
extern const std::vector<JobFamily> kJobFamilies;

}  // namespace tavro
