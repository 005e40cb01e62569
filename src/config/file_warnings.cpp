#include "config/file_warnings.h"

#include <algorithm>
#include <deque>
#include <string_view>
#include <unordered_set>

#include "config/job_sections.h"
#include "support/file_access.h"
#include "support/process_path.h"
#include "support/text.h"

namespace tavro {
namespace {

bool HoldsPasswords(const IniFile& ini) {
  for (const char* section : {"pi", "phd", "mssql"}) {
    if (!ini.Find(section, "password").value_or("").empty()) return true;
  }
  const std::string constr = LowerAscii(ini.Find("ip21", "constr").value_or(""));
  return constr.find("pwd=") != std::string::npos || constr.find("password=") != std::string::npos;
}

}  // namespace

std::vector<std::string> FileWarnings(const IniFile& ini, const LauncherState& state) {
  std::vector<std::string> warnings;
  for (const IniFile::CutValue& cut : ini.ValuesCutAtNul()) {
    warnings.push_back("[" + cut.section + "] " + cut.key + " in line " + std::to_string(cut.line) +
                       ": the value is cut at a NUL byte");
  }
  const std::string& iniFile = state.Settings.IniFileName;
  const OtherAccounts others;
  if (others.MayWrite(iniFile)) warnings.push_back(iniFile + " can be changed by other accounts");
  if (HoldsPasswords(ini) && others.MayRead(iniFile)) {
    warnings.push_back(iniFile + " holds passwords and can be read by other accounts");
  }
  const std::string launcherFolder = FolderOf(iniFile);
  // Each program file once, as the program start finds it. The names view the state's texts, or
  // the relative ones joined to the launcher's folder: a preview judges every job at every reading.
  std::unordered_set<std::string_view> judged;
  std::deque<std::string> joined;
  KnownFolders folders;  // a program in a missing folder is missing, and nobody may change it
  // The section's name is made only for a warning: most programs are judged and pass.
  const auto judge = [&](const std::string& exename, const auto& sectionName) {
    // A bare name is the system's business (found along PATH) and is not judged.
    if (std::none_of(exename.begin(), exename.end(), IsPathSeparator)) return;
    const bool relative = IsRelativeWithFolder(exename);
    const std::string& file = relative ? joined.emplace_back(launcherFolder + "/" + exename) : exename;
    if (!judged.insert(file).second) {
      if (relative) joined.pop_back();
      return;
    }
    if (folders.Exists(FolderOf(file)) && others.MayWrite(file)) warnings.push_back(file + " ([" + sectionName() + "]) can be changed by other accounts");
  };
  for (std::size_t i = 0; i < state.Pumps.Items.size(); ++i) {
    judge(state.Pumps.Items[i].exename, [i] { return JobSectionName("pump_", i); });
  }
  for (std::size_t i = 0; i < state.Batches.Items.size(); ++i) {
    judge(state.Batches.Items[i].exename, [i] { return JobSectionName("batch_", i); });
  }
  for (std::size_t i = 0; i < state.Tasks.Items.size(); ++i) {
    judge(state.Tasks.Items[i].exename, [i] { return JobSectionName("task_", i); });
  }
  if (!state.Reports.Items.empty()) judge(state.Reports.exename, [] { return std::string("reports"); });
  return warnings;
}

}  // namespace tavro
