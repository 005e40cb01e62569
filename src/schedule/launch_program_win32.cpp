#include <windows.h>

#include <string>
#include <vector>

#include "schedule/launch_program.h"
#include "support/process_path.h"

namespace tavro {

namespace {

// A path such as "jobs\pump.exe" names a file of the launcher's folder, never of the folder the
// launcher was started in, which may belong to another account. A bare name keeps the system's
// search (the launcher's folder first); a path from a drive or a root is taken as written.
std::string ProgramFromLauncherFolder(const std::string& program) {
  if (!IsRelativeWithFolder(program)) return {};
  std::string file = FolderOf(CurrentExecutablePath()) + "\\" + program;
  // As the command line's search would, a file name without an extension means a ".exe".
  if (FileNameOf(file).find('.') == std::string::npos) file += ".exe";
  return file;
}

}  // namespace

int LaunchProgram(const std::string& program, const std::string& arguments, const std::string& directory,
                  std::uint16_t showMode) {
  std::string commandLine = program;
  if (!arguments.empty()) commandLine += " " + arguments;
  // CreateProcessA may write into the command line, so it gets a buffer of its own.
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back('\0');

  STARTUPINFOA startup;
  ZeroMemory(&startup, sizeof startup);
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_FORCEONFEEDBACK;
  startup.wShowWindow = showMode;
  PROCESS_INFORMATION started;
  ZeroMemory(&started, sizeof started);

  // An empty folder text would make every such start fail; it means the launcher's own folder.
  const char* folder = directory.empty() ? nullptr : directory.c_str();
  // The command line stays as written: the program sees the path it was named by.
  const std::string file = ProgramFromLauncherFolder(program);
  if (!CreateProcessA(file.empty() ? nullptr : file.c_str(), buffer.data(), nullptr, nullptr, FALSE,
                      NORMAL_PRIORITY_CLASS, nullptr, folder, &startup, &started)) {
    return static_cast<int>(GetLastError());
  }
  CloseHandle(started.hProcess);
  CloseHandle(started.hThread);
  return 0;
}

}  // namespace tavro
