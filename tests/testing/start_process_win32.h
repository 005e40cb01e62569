#pragma once
// CreateProcessA for the tests' starts, tried three times: wine under load now and then fails to
// start a process for no reason of the program's (each failure said on stderr).

#include <windows.h>

#include <cstdio>
#include <string>

namespace tavro::testutil {

inline bool StartProcess(const std::string& exe, std::string& commandLine, bool inheritHandles,
                         STARTUPINFOA& startup, PROCESS_INFORMATION& process) {
  for (int attempt = 1; attempt <= 3; ++attempt) {
    if (CreateProcessA(exe.c_str(), commandLine.data(), nullptr, nullptr, inheritHandles, 0, nullptr, nullptr,
                       &startup, &process)) {
      return true;
    }
    std::fprintf(stderr, "cannot start %s (error %lu), attempt %d of 3\n", exe.c_str(), GetLastError(), attempt);
    if (attempt < 3) Sleep(200);
  }
  return false;
}

}  // namespace tavro::testutil
