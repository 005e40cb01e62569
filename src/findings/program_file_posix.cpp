#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <string_view>

#include "findings/program_file.h"
#include "support/process_path.h"

namespace tavro {
namespace {

enum class FileState { kMissing, kFolder, kNotExecutable, kExecutable };

FileState StateOf(const std::string& path) {
  struct stat status {};
  if (stat(path.c_str(), &status) != 0) return FileState::kMissing;
  if (S_ISDIR(status.st_mode)) return FileState::kFolder;
  return access(path.c_str(), X_OK) == 0 ? FileState::kExecutable : FileState::kNotExecutable;
}

bool LooksLikeWindowsPath(const std::string& program) {
  const bool driveLetter =
      program.size() >= 2 && std::isalpha(static_cast<unsigned char>(program[0])) != 0 && program[1] == ':';
  return driveLetter || program.find('\\') != std::string::npos;
}

// A bare name is looked for along PATH, as the program start does; an empty entry is the current
// folder, and without PATH the system's usual folders are searched.
std::optional<std::string> PathSearchProblem(const std::string& program) {
  const char* variable = std::getenv("PATH");
  const std::string path = variable != nullptr ? variable : "/bin:/usr/bin";
  bool foundButNotExecutable = false;
  std::string_view rest = path;
  while (true) {
    const std::size_t colon = rest.find(':');
    const std::string_view folder = rest.substr(0, colon);
    const FileState state = StateOf((folder.empty() ? std::string(".") : std::string(folder)) + "/" + program);
    if (state == FileState::kExecutable) return std::nullopt;
    foundButNotExecutable = foundButNotExecutable || state == FileState::kNotExecutable;
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return "\"" + program + "\" is " + (foundButNotExecutable ? "found along PATH but not executable" : "not found") +
         " (a name without \"/\" is looked for along PATH: " + path + ")";
}

bool FolderExists(const std::string& folder, KnownFolders& folders) {
  const auto known = folders.find(folder);
  if (known != folders.end()) return known->second;
  return folders.emplace(folder, folder.empty() || StateOf(folder) == FileState::kFolder).first->second;
}

}  // namespace

std::optional<std::string> ProgramFileProblem(const std::string& program, const std::string& launcherFolder,
                                              KnownFolders& folders) {
  const std::string quoted = "\"" + program + "\"";
  if (LooksLikeWindowsPath(program)) {
    return quoted + " is a Windows path (drive letter or \"\\\"); on Linux write a path like /opt/plant/job";
  }
  if (program.find('/') == std::string::npos) return PathSearchProblem(program);

  // A relative path names a file from the launcher's folder, whatever folder it was started in.
  const bool relative = program.front() != '/';
  const std::string full = relative ? launcherFolder + "/" + program : program;
  const std::string where = relative ? " (from the launcher's folder: " + full + ")" : "";
  if (!FolderExists(FolderOf(full), folders)) return quoted + " does not exist" + where;
  switch (StateOf(full)) {
    case FileState::kMissing:
      return quoted + " does not exist" + where;
    case FileState::kFolder:
      return quoted + " is a folder, not a program" + where;
    case FileState::kNotExecutable:
      return quoted + " is not executable" + where;
    case FileState::kExecutable:
      break;
  }
  if (relative) return quoted + " is a relative path" + where + "; write the full path";
  return std::nullopt;
}

}  // namespace tavro
