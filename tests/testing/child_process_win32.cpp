#include <windows.h>

#include "support/process_path.h"
#include "testing/child_process.h"
#include "testing/start_process_win32.h"

namespace tavro::testutil {
namespace {

// Quotes one argument so that the child's command-line parser gives it back unchanged: backslashes
// are literal except before a quote, where they and the quote are escaped.
std::string QuoteArgument(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string quoted = "\"";
  for (std::size_t i = 0;; ++i) {
    std::size_t backslashes = 0;
    while (i < arg.size() && arg[i] == '\\') {
      ++backslashes;
      ++i;
    }
    if (i == arg.size()) {
      quoted.append(backslashes * 2, '\\');
      break;
    }
    if (arg[i] == '"') {
      quoted.append(backslashes * 2 + 1, '\\');
    } else {
      quoted.append(backslashes, '\\');
    }
    quoted += arg[i];
  }
  quoted += '"';
  return quoted;
}

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

ChildProcess::ChildProcess(const std::string& exe, const std::vector<std::string>& args) {
  std::string commandLine = QuoteArgument(exe);
  for (const std::string& arg : args) commandLine += " " + QuoteArgument(arg);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (StartProcess(exe, commandLine, false, startup, process)) {
    CloseHandle(process.hThread);
    handle_ = reinterpret_cast<std::intptr_t>(process.hProcess);
  }
}

ChildProcess::~ChildProcess() {
  if (handle_ == 0) return;
  if (!waited_) {
    TerminateProcess(AsHandle(handle_), 1);
    Wait();
  }
  CloseHandle(AsHandle(handle_));
}

int ChildProcess::Wait() {
  if (handle_ == 0 || waited_) return exitCode_;
  DWORD code = 0;
  if (WaitForSingleObject(AsHandle(handle_), INFINITE) == WAIT_OBJECT_0 &&
      GetExitCodeProcess(AsHandle(handle_), &code)) {
    exitCode_ = static_cast<int>(code);
  }
  waited_ = true;
  return exitCode_;
}

std::optional<int> ChildProcess::WaitFor(int milliseconds) {
  if (handle_ != 0 && !waited_ &&
      WaitForSingleObject(AsHandle(handle_), static_cast<DWORD>(milliseconds)) == WAIT_TIMEOUT) {
    return std::nullopt;
  }
  return Wait();
}

std::string TestProgramPath(const std::string& name) {
  return FolderOf(CurrentExecutablePath()) + "\\" + name + ".exe";
}

}  // namespace tavro::testutil
