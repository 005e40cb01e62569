#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <cstring>

#include "support/process_facts.h"

namespace tavro {

int CurrentProcessId() { return static_cast<int>(getpid()); }

bool ProcessRuns(int processId) {
  if (processId <= 0) return false;
  return kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

std::string SystemErrorMeaning(int code) { return std::strerror(code); }

}  // namespace tavro
