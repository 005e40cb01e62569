#include <windows.h>

#include "testing/capture_output.h"
#include "testing/start_process_win32.h"

namespace tavro::testutil {
namespace {

std::string CommandLineOf(const std::string& exe, const std::vector<std::string>& args) {
  std::string line = "\"" + exe + "\"";
  for (const std::string& arg : args) line += " \"" + arg + "\"";
  return line;
}

}  // namespace

CapturedRun RunProgramCapture(const std::string& exe, const std::vector<std::string>& args) {
  CapturedRun run;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  HANDLE readEnd = nullptr;
  HANDLE writeEnd = nullptr;
  if (!CreatePipe(&readEnd, &writeEnd, &inheritable, 0)) return run;
  SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = writeEnd;
  startup.hStdError = writeEnd;
  PROCESS_INFORMATION process{};
  std::string commandLine = CommandLineOf(exe, args);
  const bool started = StartProcess(exe, commandLine, true, startup, process);
  CloseHandle(writeEnd);

  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) run.output.append(buffer, got);
  CloseHandle(readEnd);
  if (!started) return run;

  DWORD code = 0;
  if (WaitForSingleObject(process.hProcess, INFINITE) == WAIT_OBJECT_0 && GetExitCodeProcess(process.hProcess, &code)) {
    run.exitCode = static_cast<int>(code);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return run;
}

}  // namespace tavro::testutil
