#include <windows.h>

#include "support/process_path.h"
#include "findings/program_file.h"

namespace tavro {
namespace {

// A relative path with a folder names a file from the launcher's folder, ".exe" added when the name
// has no extension, as the program start takes it.
std::string ProblemOfRelativePath(const std::string& quoted, const std::string& program,
                                  const std::string& launcherFolder) {
  std::string full = launcherFolder + "\\" + program;
  if (FileNameOf(full).find('.') == std::string::npos) full += ".exe";
  const std::string where = " (from the launcher's folder: " + full + ")";
  if (GetFileAttributesA(full.c_str()) == INVALID_FILE_ATTRIBUTES) return quoted + " does not exist" + where;
  if (IsFolder(full)) return quoted + " is a folder, not a program" + where;
  return quoted + " is a relative path" + where + "; write the full path";
}

}  // namespace

// The program start lets the system look for the program: a path as written, a bare name in the
// system's usual places and along PATH, ".exe" added when the name has no extension.
std::optional<std::string> ProgramFileProblem(const std::string& program, const std::string& launcherFolder,
                                              KnownFolders& folders) {
  const std::string quoted = "\"" + program + "\"";
  if (IsRelativeWithFolder(program)) return ProblemOfRelativePath(quoted, program, launcherFolder);
  const bool bareName = program.find_first_of("\\/:") == std::string::npos;
  if (!bareName && !folders.Exists(FolderOf(program))) return quoted + " does not exist";
  // A path longer than the buffer gives the size it needs.
  std::string found(MAX_PATH, '\0');
  DWORD length = 0;
  while ((length = SearchPathA(nullptr, program.c_str(), ".exe", static_cast<DWORD>(found.size()), found.data(),
                               nullptr)) >= found.size()) {
    found.resize(length);
  }
  if (length == 0) {
    return quoted + (bareName ? " is not found (a bare name is looked for in the system's folders and along PATH)"
                              : " does not exist");
  }
  found.resize(length);
  if (IsFolder(found)) return quoted + " is a folder, not a program";
  return std::nullopt;
}

}  // namespace tavro
