#pragma once
// Real child processes for tests: the small programs of tests/programs and the built programs,
// started with an argument list and waited for.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tavro::testutil {

// One started program. Waiting gives its exit code; a child still running when the object goes
// away is ended, so a failing test leaves no process behind.
class ChildProcess {
 public:
  // Starts `exe` with `args` (without the program name); each argument reaches the child as it is.
  ChildProcess(const std::string& exe, const std::vector<std::string>& args);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool Started() const { return handle_ != 0; }
  // The exit code, or -1 when the program could not be started or did not end by itself.
  int Wait();
  // As Wait, but waits at most `milliseconds`: no value while the program is still running (it
  // then goes on running).
  std::optional<int> WaitFor(int milliseconds);

 private:
  std::intptr_t handle_ = 0;  // process id or process handle
  bool waited_ = false;
  int exitCode_ = -1;
};

// Starts the program, waits for it and gives its exit code (-1 as above).
int RunProgram(const std::string& exe, const std::vector<std::string>& args);

// The test program NAME built beside the running test binary (bin/NAME, bin/NAME.exe).
std::string TestProgramPath(const std::string& name);

}  // namespace tavro::testutil
