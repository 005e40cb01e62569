#pragma once
// systemctl, found through PATH, run to its end (or to a deadline) with what it said kept.

#include <string>
#include <vector>

namespace tavro {

struct SystemctlRun {
  bool ended = false;   // it was started and ended by itself before the deadline
  int exitCode = -1;    // when it ended
  std::string output;   // standard output and standard error together
  std::string failure;  // why it could not run or did not end ("" when it ended)
};

SystemctlRun RunSystemctl(const std::vector<std::string>& arguments, int timeoutMs);

// "systemctl daemon-reload" ended with exit code 1: <what it said> — or why it did not run.
std::string SystemctlFailureText(const std::vector<std::string>& arguments, const SystemctlRun& run);

}  // namespace tavro
