#pragma once
// Runs a program and keeps what it writes, for tests of command-line tools.

#include <string>
#include <vector>

namespace tavro::testutil {

struct CapturedRun {
  int exitCode = -1;   // -1 when the program could not be started or did not end by itself
  std::string output;  // standard output and standard error together, bytes as written
};

// Starts `exe` with `args` (without the program name), reads its output to the end and waits for it.
// Arguments may hold blanks, but neither double quotes nor a trailing backslash.
CapturedRun RunProgramCapture(const std::string& exe, const std::vector<std::string>& args);

}  // namespace tavro::testutil
