// Programs that the launcher would fail to start: it learns that only at the launch, from the
// system's error code in the log.

#include <string_view>
#include <unordered_map>

#include "config/job_sections.h"
#include "findings/findings.h"
#include "findings/program_file.h"
#include "support/process_path.h"

namespace tavro {

void FindProgramProblems(const CheckedFile& file, Findings& findings) {
  const std::string launcherFolder = FolderOf(file.path);
  // Thousands of jobs often start a handful of programs: each is looked up on disk once. The names
  // view the state's texts, which outlive the search.
  std::unordered_map<std::string_view, std::optional<std::string>> judged;
  KnownFolders folders;
  const auto problemOf = [&](const std::string& program) -> const std::optional<std::string>& {
    const auto [found, first] = judged.try_emplace(program);
    if (first) found->second = ProgramFileProblem(program, launcherFolder, folders);
    return found->second;
  };
  for (const JobFamily& family : kJobFamilies) {
    for (std::size_t i = 0; i < family.jobs(file.state); ++i) {
      const std::string* program = family.program(file.state, i);
      if (program == nullptr || program->empty()) continue;  // reports below; empty is the reading's error
      if (const std::optional<std::string>& problem = problemOf(*program)) {
        findings.push_back({JobSectionName(family.prefix, i), "exename", *problem});
      }
    }
  }
  // The reports share one program; without it none of them can start.
  if (file.state.Reports.Items.empty()) return;
  const std::string& shared = file.state.Reports.exename;
  std::optional<std::string> problem =
      shared.empty() ? std::optional<std::string>("empty; no report can start") : problemOf(shared);
  if (problem) findings.push_back({"reports", "exename", *problem});
}

}  // namespace tavro
