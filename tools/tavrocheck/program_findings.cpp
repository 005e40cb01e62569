// Programs that the launcher would fail to start: it learns that only at the launch, from the
// system's error code in the log.

#include "config/job_sections.h"
#include "support/process_path.h"
#include "tavrocheck/findings.h"
#include "tavrocheck/program_file.h"

namespace tavro {

void FindProgramProblems(const CheckedFile& file, Findings& findings) {
  const std::string launcherFolder = FolderOf(file.path);
  for (const JobFamily& family : kJobFamilies) {
    for (std::size_t i = 0; i < family.jobs(file.state); ++i) {
      const std::string* program = family.program(file.state, i);
      if (program == nullptr || program->empty()) continue;  // reports below; empty is the reading's error
      if (std::optional<std::string> problem = ProgramFileProblem(*program, launcherFolder)) {
        findings.push_back({JobSectionName(family.prefix, i), "exename", *problem});
      }
    }
  }
  // The reports share one program; without it none of them can start.
  if (file.state.Reports.Items.empty()) return;
  const std::string& shared = file.state.Reports.exename;
  std::optional<std::string> problem =
      shared.empty() ? std::optional<std::string>("empty; no report can start") : ProgramFileProblem(shared, launcherFolder);
  if (problem) findings.push_back({"reports", "exename", *problem});
}

}  // namespace tavro
