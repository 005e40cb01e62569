#include <windows.h>

#include <string>
#include <vector>

#include "schedule/launch_program.h"

namespace tavro {

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
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr, folder,
                      &startup, &started)) {
    return static_cast<int>(GetLastError());
  }
  CloseHandle(started.hProcess);
  CloseHandle(started.hThread);
  return 0;
}

}  // namespace tavro
