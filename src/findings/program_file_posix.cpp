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

}  // namespace

std::optional<std::string> ProgramFileProblem(const std::string& program, const std::string& launcherFolder,
                                              KnownFolders& folders) {
  if (LooksLikeWindowsPath(program)) {
    return "\"" + program + "\" is a Windows path (drive letter or \"\\\"); on Linux write a path like /opt/plant/job";
  }
  if (program.find('/') == std::string::npos) return PathSearchProblem(program);

  // A relative path names a file from the launcher's folder, whatever folder it was started in.
  const bool relative = program.front() != '/';
  const std::string joined = relative ? launcherFolder + "/" + program : std::string();
  const std::string& full = relative ? joined : program;
  // Thousands of jobs may name missing programs: each text is made in one piece.
  const auto problem = [&](const char* what, const char* advice = "") {
    std::string text = "\"";
    text.append(program).append("\" ").append(what);
    if (relative) text.append(" (from the launcher's folder: ").append(full).append(")");
    text.append(advice);
    return text;
  };
  if (!folders.Exists(FolderOf(full))) return problem("does not exist");
  switch (StateOf(full)) {
    case FileState::kMissing:
      return problem("does not exist");
    case FileState::kFolder:
      return problem("is a folder, not a program");
    case FileState::kNotExecutable:
      return problem("is not executable");
    case FileState::kExecutable:
      break;
  }
  if (relative) return problem("is a relative path", "; write the full path");
  return std::nullopt;
}

}  // namespace tavro
