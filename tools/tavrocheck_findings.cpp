#include "tavrocheck_findings.h"

#include <array>

#include "support/whole_file.h"

namespace tavro {

const std::vector<JobFamily> kJobFamilies{
    {"pumps", "pump_", [](const LauncherState& state) { return state.Pumps.Items.size(); },
     [](const LauncherState& state, std::size_t i) { return &state.Pumps.Items[i].exename; }},
    {"batches", "batch_", [](const LauncherState& state) { return state.Batches.Items.size(); },
     [](const LauncherState& state, std::size_t i) { return &state.Batches.Items[i].exename; }},
    {"tasks", "task_", [](const LauncherState& state) { return state.Tasks.Items.size(); },
     [](const LauncherState& state, std::size_t i) { return &state.Tasks.Items[i].exename; }},
    {"reports", "report_", [](const LauncherState& state) { return state.Reports.Items.size(); },
     [](const LauncherState&, std::size_t) -> const std::string* { return nullptr; }},
};

std::string FindingLine(const Finding& finding) {
  std::string line = "finding: ";
  if (finding.section) line += "[" + *finding.section + "]" + (finding.key ? " " : "");
  if (finding.key) line += *finding.key;
  if (finding.section || finding.key) line += ": ";
  return line + finding.message;
}

std::vector<Finding> FindProblems(const CheckedFile& file) {
  constexpr std::array<void (*)(const CheckedFile&, Findings&), 4> kChecks{
      FindFileProblems, FindSectionProblems, FindProgramProblems, FindCalendarProblems};
  Findings findings;
  for (const auto check : kChecks) check(file, findings);
  return findings;
}

// The reading takes a file it cannot read as an empty one and reports only that it found no job.
void FindFileProblems(const CheckedFile& file, Findings& findings) {
  const WholeFile read = ReadWholeFile(file.path);
  if (read.outcome == WholeFile::Outcome::Missing) {
    findings.push_back({std::nullopt, std::nullopt, "cannot open " + file.path + ": No such file or directory"});
  } else if (read.outcome == WholeFile::Outcome::Unreadable) {
    findings.push_back({std::nullopt, std::nullopt, "cannot read " + file.path + ": " + read.reason});
  }
}

}  // namespace tavro
